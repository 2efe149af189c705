// Facts about the desktop the windows stand on: the work area and the pointer position.
#pragma once

#include "kiro/ui/types.h"

namespace kiro::ui {

// The primary monitor's work area (the desktop without panels and task bars), in screen
// coordinates.
Rect workArea();

// The mouse pointer's position in screen coordinates.
Point cursorPosition();

}  // namespace kiro::ui
