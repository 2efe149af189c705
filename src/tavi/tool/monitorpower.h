// Switching the monitor off through a display's power management without changing the
// user's setting: management that was disabled is enabled only while the monitor is off.
#pragma once

#include <functional>

namespace tavi::tool {

// One display's power management (X11 DPMS on Linux).
class PowerManagement {
public:
    virtual ~PowerManagement() = default;
    virtual bool enabled() = 0;
    virtual void setEnabled(bool on) = 0;
    virtual void forceOff() = 0;  // only valid while enabled
    virtual bool monitorOn() = 0;
};

// Forces the monitor off. When management was disabled, waits until the monitor is on again
// (calling pause between looks) and disables it again.
void switchOff(PowerManagement& power, const std::function<void()>& pause);

}  // namespace tavi::tool
