// The tool registry the main window owns: the tools by name, their tick cadence, the one event
// taken per tick, and the routing of command strings to the tool they name.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>

#include "kiro/clock.h"
#include "tavi/eventmessage.h"
#include "tavi/tool/toolkit.h"

namespace kiro::ui {
class Window;
}

namespace tavi::tool {

class Registry {
public:
    struct Empty {};

    // The program's tools under "afk", "clock", "memo" and "rss". owner will own the memo
    // windows; it may be null.
    explicit Registry(kiro::ui::Window* owner, kiro::MillisClock clock = kiro::tickCount,
                      kiro::LocalClock localClock = kiro::localTime);
    // No tools; enter them with add.
    Registry(Empty, kiro::MillisClock clock);

    // Enters a tool under a name, replacing (and deleting) any tool of that name.
    void add(const std::wstring& name, std::unique_ptr<IToolKit> tool);
    // What every tool calls when it raises an event, now and for tools added later.
    void setWake(std::function<void()> wake);
    IToolKit* find(const std::wstring& name) const;
    size_t size() const { return tools_.size(); }

    // Every tool's tick; everySecond / everyMinute when more than 1000 / 60000 ms have passed
    // since the last such round. The counter may wrap: differences are taken modulo 2^32.
    void tick();
    // Takes at most one event, from the first tool holding one.
    bool pollOne(EventMessage& out);
    // Milliseconds until the next tick can give the tools something to do: 0 while events
    // wait, else the earliest tool's second-call time, not before the once-a-second cadence
    // lets everySecond() run; IToolKit::NeverDue when no tool waits for anything.
    uint32_t dueIn() const;
    // Parses the command string and hands it to the tool named by its first token; false when
    // there is no name or no such tool.
    bool dispatch(const std::wstring& command);

private:
    std::unordered_map<std::wstring, std::unique_ptr<IToolKit>> tools_;
    std::function<void()> wake_;
    kiro::MillisClock clock_;
    uint32_t lastSecond_ = 0;
    uint32_t lastMinute_ = 0;
};

}  // namespace tavi::tool
