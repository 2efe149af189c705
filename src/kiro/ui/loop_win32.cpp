// The toolkit start and message loop on Windows: GetMessageW / DispatchMessageW until
// WM_QUIT, and PostQuitMessage. The system's own modal loops (TrackPopupMenuEx, MessageBoxW)
// leave on WM_QUIT and post it on; quitRequested lets the toolkit's menus and boxes return
// at once while the quit is pending.
#include <windows.h>

#include <thread>

#include "kiro/ui/loop.h"

namespace kiro::ui {

namespace {
std::thread::id uiThread = std::this_thread::get_id();
bool quitting = false;  // quitLoop came and runLoop has not returned yet
}

bool initializeToolkit() {
    uiThread = std::this_thread::get_id();
    return true;
}

bool isUiThread() { return std::this_thread::get_id() == uiThread; }

void runLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    quitting = false;
}

void quitLoop() {
    quitting = true;
    PostQuitMessage(0);
}

bool quitRequested() { return quitting; }

}  // namespace kiro::ui
