// The main window's tick plan.
#include "tavi/pacer.h"

#include <algorithm>
#include <utility>

#include "tavi/ticks.h"

namespace tavi {

Pacer::Pacer(kiro::MillisClock clock)
    : clock_(clock ? std::move(clock) : kiro::MillisClock(kiro::tickCount)), lastTick_(clock_()) {}

uint32_t Pacer::fire() {
    lastTick_ = clock_();
    return std::max<uint32_t>(due_, 1);
}

void Pacer::plan(uint32_t ticks) {
    due_ = ticks == NeverDue ? 0 : std::clamp<uint32_t>(ticks, 1, LongestWait);
    // A periodic timer already at this interval fires again exactly then.
    const uint32_t interval = due_ * TickMs;
    if (interval == armed_ && !offGrid_) return;
    offGrid_ = false;
    armed_ = interval;
    restart_ = true;
}

uint32_t Pacer::wake() {
    const uint32_t now = clock_();
    const uint32_t elapsed = now - lastTick_;
    const uint32_t next = std::min(elapsed / TickMs + 1, LongestWait);
    if (due_ != 0 && next >= due_) return 0;  // the planned tick comes no later
    lastTick_ = now;
    offGrid_ = true;
    return next;
}

bool Pacer::takeTimer(uint32_t& intervalMs) {
    if (!restart_) return false;
    restart_ = false;
    intervalMs = armed_;
    return true;
}

}  // namespace tavi
