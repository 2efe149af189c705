// Facts about the desktop the windows stand on: the work area, the pointer position and the
// size of the system's scroll bars.
#pragma once

#include "kiro/ui/types.h"

namespace kiro::ui {

// The primary monitor's work area (the desktop without panels and task bars), in screen
// coordinates.
Rect workArea();

// The mouse pointer's position in screen coordinates.
Point cursorPosition();

// The width of a vertical scroll bar (cx) and the height of a horizontal one (cy), in pixels,
// as the system draws them (SM_CXVSCROLL, SM_CYHSCROLL).
Size scrollBarSize();

}  // namespace kiro::ui
