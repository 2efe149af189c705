// The interface of every tool: commands from the menu, the tick cadence, and a queue of events
// for the characters that any thread may raise into.
#pragma once

#include <deque>
#include <mutex>

#include "tavi/eventmessage.h"
#include "tavi/tool/command.h"

namespace tavi {

class IToolKit {
public:
    IToolKit() = default;
    IToolKit(const IToolKit&) = delete;
    IToolKit& operator=(const IToolKit&) = delete;
    virtual ~IToolKit() = default;

    // A command addressed to this tool; by default it activates the tool.
    virtual void command(const tool::Command&) { activate(); }
    virtual void activate() {}
    // Every tick of the main window (50 ms).
    virtual void tick() {}
    // When more than a second, or a minute, has passed since the last such call.
    virtual void everySecond() {}
    virtual void everyMinute() {}

    // Queues a copy of the event; safe from any thread.
    void raise(const EventMessage& event);
    // Takes the oldest queued event; false, with out untouched, when there is none.
    bool poll(EventMessage& out);

private:
    std::deque<EventMessage> events_;
    std::mutex lock_;
};

}  // namespace tavi
