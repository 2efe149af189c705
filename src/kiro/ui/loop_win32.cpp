// The toolkit start and message loop on Windows: GetMessageW / DispatchMessageW until
// WM_QUIT, and PostQuitMessage.
#include <windows.h>

#include "kiro/ui/loop.h"

namespace kiro::ui {

bool initializeToolkit() { return true; }

void runLoop() {
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void quitLoop() { PostQuitMessage(0); }

}  // namespace kiro::ui
