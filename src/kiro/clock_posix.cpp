// The millisecond clock and local time on Linux: the steady clock, wrapping at 2^32 ms like
// the multimedia timer, and localtime_r.
#include <time.h>

#include <chrono>

#include "kiro/clock.h"

namespace kiro {

uint32_t tickCount() {
    using namespace std::chrono;
    return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

LocalTime localTime() {
    const time_t now = time(nullptr);
    struct tm t {};
    localtime_r(&now, &t);
    LocalTime r;
    r.year = t.tm_year + 1900;
    r.month = t.tm_mon + 1;
    r.day = t.tm_mday;
    r.hour = t.tm_hour;
    r.minute = t.tm_min;
    r.second = t.tm_sec;
    r.dayOfWeek = t.tm_wday;
    return r;
}

}  // namespace kiro
