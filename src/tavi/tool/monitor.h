// Darkens the screen: switches the monitor off, or starts the screen saver. Implemented per
// platform (X11 DPMS / screen saver; the Win32 system-command broadcast).
#pragma once

namespace tavi::tool {

// Returns without effect when the display cannot be reached. Where the monitor's power
// management had been disabled by the user, it returns once the monitor is on again and the
// management is disabled again.
void monitorOff(bool screenSaver);

}  // namespace tavi::tool
