// The toolkit start and message loop on Windows: GetMessageW / DispatchMessageW until
// WM_QUIT, and PostQuitMessage.
#include <windows.h>

#include <thread>

#include "kiro/ui/loop.h"

namespace kiro::ui {

namespace {
std::thread::id uiThread = std::this_thread::get_id();
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
}

void quitLoop() { PostQuitMessage(0); }

}  // namespace kiro::ui
