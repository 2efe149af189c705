// Windows backend only: the Win32 state of one Window and the window procedure, shared by the
// window's platform files (window_win32.cpp, present_win32.cpp) and the toolkit start.
#pragma once

#include <windows.h>

#include "kiro/ui/window.h"

namespace kiro::ui {

struct Window::Native {
    // The Win32 window. Set when WM_CREATE links it to its Window (messages sent during
    // creation already see it), cleared at WM_NCDESTROY: null means destroyed.
    HWND hwnd = nullptr;
    // Made with WS_EX_LAYERED: the window shows what UpdateLayeredWindow last gave it, and
    // takes the size of that picture.
    bool layered = false;
    // A paint request is queued for a layered window (see invalidate in window_win32.cpp).
    bool paintQueued = false;
};

// The procedure of the toolkit's window class: every message of every Window passes here.
LRESULT CALLBACK windowProcedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace kiro::ui
