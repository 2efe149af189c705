// The monotonic 32-bit millisecond clock (wrapping like timeGetTime) and the local-time reader.
// Code that compares times takes a clock as a parameter so tests can drive time.
#pragma once

#include <cstdint>
#include <functional>

namespace kiro {

struct LocalTime {
    int year = 0, month = 0, day = 0;      // month 1..12, day 1..31
    int hour = 0, minute = 0, second = 0;  // hour 0..23
    int dayOfWeek = 0;                     // 0 = Sunday
};

uint32_t tickCount();
LocalTime localTime();

using MillisClock = std::function<uint32_t()>;
using LocalClock = std::function<LocalTime()>;

}  // namespace kiro
