// The millisecond clock and local time on Windows: timeGetTime and GetLocalTime.
#include <windows.h>
#include <mmsystem.h>

#include "kiro/clock.h"

namespace kiro {

uint32_t tickCount() { return uint32_t(timeGetTime()); }

LocalTime localTime() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    LocalTime r;
    r.year = t.wYear;
    r.month = t.wMonth;
    r.day = t.wDay;
    r.hour = t.wHour;
    r.minute = t.wMinute;
    r.second = t.wSecond;
    r.dayOfWeek = t.wDayOfWeek;
    return r;
}

}  // namespace kiro
