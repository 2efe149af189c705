// The order of power-management calls that switches the monitor off and restores the setting.
#include "tavi/tool/monitorpower.h"

namespace tavi::tool {

void switchOff(PowerManagement& power, const std::function<void()>& pause) {
    const bool wasEnabled = power.enabled();
    if (!wasEnabled) power.setEnabled(true);
    power.forceOff();
    if (wasEnabled) return;
    // Left enabled, the display's own time-outs would blank the screen from now on.
    while (!power.monitorOn()) pause();
    power.setEnabled(false);
}

}  // namespace tavi::tool
