// The end of the Windows session (log-off, shut-down): a hidden top-level window of the
// toolkit's own hears WM_QUERYENDSESSION and WM_ENDSESSION and runs the program's normal exit
// before the system ends the process.
//
// Implements: setSessionEndExit. Approximates: open menus and boxes of the UI thread are not
//   unwound (the process ends inside the end-session message); boxes of other threads are
//   answered, so that the exit's joins do not wait for a user who has left.
#include <windows.h>

#include <utility>

#include "kiro/ui/loop.h"
#include "kiro/ui/session.h"

namespace kiro::ui {

namespace {

std::function<void()> normalExit;

// Answers a message box of this process: No where it asks, else Cancel, else OK.
BOOL CALLBACK answerBox(HWND window, LPARAM) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t className[16] = {};
    if (process != GetCurrentProcessId() || GetClassNameW(window, className, 16) == 0 ||
        lstrcmpW(className, L"#32770") != 0) {
        return TRUE;
    }
    int answer = IDOK;
    if (GetDlgItem(window, IDNO) != nullptr) answer = IDNO;
    else if (GetDlgItem(window, IDCANCEL) != nullptr) answer = IDCANCEL;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    return TRUE;
}

LRESULT CALLBACK sessionProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_QUERYENDSESSION:
        return TRUE;  // the program never holds the session up
    case WM_ENDSESSION:
        if (wParam != FALSE && normalExit) {
            // From here on a menu or box returns at once without a choice: nobody is there.
            quitLoop();
            EnumWindows(answerBox, 0);
            EndMenu();
            auto finish = std::move(normalExit);
            normalExit = nullptr;
            finish();
            ExitProcess(0);
        }
        return 0;
    default:
        return DefWindowProcW(window, msg, wParam, lParam);
    }
}

}  // namespace

void setSessionEndExit(std::function<void()> finish) {
    static HWND watcher = nullptr;
    normalExit = std::move(finish);
    if (watcher != nullptr) return;
    WNDCLASSW cls{};
    cls.lpfnWndProc = sessionProc;
    cls.hInstance = GetModuleHandleW(nullptr);
    cls.lpszClassName = L"kiro-session-end";
    RegisterClassW(&cls);
    // A top-level window (not message-only), since only those hear the end of the session.
    watcher = CreateWindowExW(WS_EX_TOOLWINDOW, cls.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0,
                              nullptr, nullptr, cls.hInstance, nullptr);
}

}  // namespace kiro::ui
