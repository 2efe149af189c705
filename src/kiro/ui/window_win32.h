// Windows backend only: the Win32 window behind a Window, for the other Win32 files of the
// toolkit (menus, boxes, edit box, presentation) that need an owner or a parent.
#pragma once

#include <windows.h>

#include "kiro/ui/cursor.h"
#include "kiro/ui/window.h"

namespace kiro::ui {

// The HWND of a Window (null once destroyed).
HWND hwndOf(const Window& window);
// The live Window whose window hwnd is, or null.
Window* windowOf(HWND hwnd);

// The cursor handle behind a Cursor.
HCURSOR hcursorOf(const Cursor& cursor);

}  // namespace kiro::ui
