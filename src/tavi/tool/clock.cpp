// The clock tool. Any change of the hour counts, a jump of several hours or backwards too;
// nothing is raised at start-up.
#include "tavi/tool/clock.h"

#include <string>
#include <utility>

#include "tavi/events.h"

namespace tavi::tool {

Clock::Clock(kiro::LocalClock localClock) : localClock_(std::move(localClock)), last_(localClock_()) {}

void Clock::everySecond() {
    const kiro::LocalTime now = localClock_();
    if (now.hour != last_.hour) {
        EventMessage event = events::toolClockHoury();
        event.params[L"hour"] = std::to_wstring(now.hour);
        event.params[L"minute"] = std::to_wstring(now.minute);
        raise(event);
    }
    last_ = now;
}

uint32_t Clock::secondDueIn() const {
    const kiro::LocalTime now = localClock_();
    if (now.hour != last_.hour) return 0;
    return now.second >= 59 ? 1000 : uint32_t(60 - now.second) * 1000;
}

}  // namespace tavi::tool
