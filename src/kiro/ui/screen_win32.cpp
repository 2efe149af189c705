// Windows backend of the desktop facts: the work area (SPI_GETWORKAREA, the primary monitor
// without the task bar), the pointer position (GetCursorPos) and the scroll bars' size
// (GetSystemMetrics).
#include <windows.h>

#include "kiro/ui/screen.h"

namespace kiro::ui {

Rect workArea() {
    RECT r = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0)) return Rect{0, 0, 0, 0};
    return Rect{r.left, r.top, r.right, r.bottom};
}

Point cursorPosition() {
    POINT p = {};
    GetCursorPos(&p);
    return Point{p.x, p.y};
}

Size scrollBarSize() { return Size{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

}  // namespace kiro::ui
