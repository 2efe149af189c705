// Linux backend only: the modal loops that menus and message boxes run inside the main loop,
// registered so that quitLoop ends them all.
#pragma once

#include <glib.h>

namespace kiro::ui {

// Runs loop until it is quit, or until quitLoop ends every modal loop. False when the quit
// request ended it (or was pending already, in which case the loop does not run at all).
bool runModalLoop(GMainLoop* loop);

}  // namespace kiro::ui
