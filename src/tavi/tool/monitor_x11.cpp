// X11 implementation of monitorOff: DPMS "force off" for the monitor, XActivateScreenSaver for
// the screen saver, on a display connection of its own (it runs on the afk worker).
#include "tavi/tool/monitor.h"

#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

namespace tavi::tool {

void monitorOff(bool screenSaver) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return;
    if (screenSaver) {
        XActivateScreenSaver(display);
    } else {
        int eventBase = 0, errorBase = 0;
        // Forcing a level while DPMS is disabled is an X error, which would end the process.
        if (DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display)) {
            CARD16 level = 0;
            BOOL enabled = False;
            DPMSInfo(display, &level, &enabled);
            if (!enabled) DPMSEnable(display);
            XSync(display, False);
            DPMSForceLevel(display, DPMSModeOff);
        }
    }
    XSync(display, False);
    XCloseDisplay(display);
}

}  // namespace tavi::tool
