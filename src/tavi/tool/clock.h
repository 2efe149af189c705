// The clock tool: raises "tool_clock_houry" with the new hour and minute when the hour of the
// local time changes.
#pragma once

#include "kiro/clock.h"
#include "tavi/tool/toolkit.h"

namespace tavi::tool {

class Clock : public IToolKit {
public:
    explicit Clock(kiro::LocalClock localClock = kiro::localTime);
    void everySecond() override;
    // The hour can change only with the minute: due at the next minute of the local time, or
    // at once when the hour has changed unseen.
    uint32_t secondDueIn() const override;

private:
    kiro::LocalClock localClock_;
    kiro::LocalTime last_;
};

}  // namespace tavi::tool
