// Darkens the screen: switches the monitor off, or starts the screen saver. Implemented per
// platform (X11 DPMS / screen saver; the Win32 system-command broadcast).
#pragma once

namespace tavi::tool {

// Returns without effect when the display cannot be reached.
void monitorOff(bool screenSaver);

}  // namespace tavi::tool
