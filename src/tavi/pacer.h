// When the main window's next tick runs. While anything moves the timer fires every 50 ms;
// while everything is still it sleeps until the next due thing, and that firing carries all
// the ticks slept through. A wake-up from another thread (a response or an event was queued)
// runs the next tick at once, less than one tick early, unless the timer fires within 50 ms.
#pragma once

#include <cstdint>

#include "kiro/clock.h"

namespace tavi {

class Pacer {
public:
    static constexpr uint32_t TickMs = 50;

    explicit Pacer(kiro::MillisClock clock = kiro::tickCount);

    // The timer fired: the number of ticks this firing stands for (at least 1).
    uint32_t fire();
    // After a tick: the next thing is due `ticks` ticks from now; NeverDue: nothing is.
    void plan(uint32_t ticks);
    // Something was queued for the next tick: the ticks to run now (those slept through and
    // the one due next), or 0 when the planned tick comes within one step anyway.
    uint32_t wake();
    // When the timer must be started again (or stopped): true with its interval in ms, 0 for
    // no timer. False while the running timer already fires when it should.
    bool takeTimer(uint32_t& intervalMs);

private:
    kiro::MillisClock clock_;
    uint32_t lastTick_;
    uint32_t due_ = 0;     // ticks from lastTick_ to the next tick; 0: none planned
    uint32_t armed_ = 0;   // the interval of the running timer; 0: none
    bool restart_ = false;
    bool offGrid_ = false;  // a tick ran between firings: the running timer is out of step
};

}  // namespace tavi
