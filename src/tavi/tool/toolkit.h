// The interface of every tool: commands from the menu, the tick cadence, and a queue of events
// for the characters that any thread may raise into.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>

#include "tavi/eventmessage.h"
#include "tavi/tool/command.h"

namespace tavi {

class IToolKit {
public:
    static constexpr uint32_t NeverDue = 0xFFFFFFFFu;

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
    // Milliseconds until everySecond() next has something to do (the clock: the next minute
    // of the local time); NeverDue when it has nothing to do. While the characters are still
    // the main window sleeps, and the ticks and calls above come only when it wakes: for the
    // earliest of these times, or for an event raised by any tool.
    virtual uint32_t secondDueIn() const { return NeverDue; }

    // Queues a copy of the event and wakes the main window's loop; safe from any thread.
    void raise(const EventMessage& event);
    // Takes the oldest queued event; false, with out untouched, when there is none.
    bool poll(EventMessage& out);
    bool hasEvents();
    // What raise calls after queuing (the registry passes the main window's wake-up).
    void setWake(std::function<void()> wake);

private:
    std::deque<EventMessage> events_;
    std::function<void()> wake_;
    std::mutex lock_;
};

}  // namespace tavi
