// Win32 implementation of monitorOff: the SC_MONITORPOWER / SC_SCREENSAVE system command,
// posted to every top-level window.
//
// Implements: monitor off (power state 2) and the screen saver. Lacks: nothing; whether the
//   screen darkens is up to the system (a virtual display under Wine has no monitor to switch).
#include "tavi/tool/monitor.h"

#include <windows.h>

namespace tavi::tool {

void monitorOff(bool screenSaver) {
    if (screenSaver) PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_SCREENSAVE, 0);
    else PostMessageW(HWND_BROADCAST, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
}

}  // namespace tavi::tool
