// Start-up services on Windows: DPI awareness, COM, the window toolkit, GetModuleFileNameW and
// SetCurrentDirectoryW.
//
// Implements: every start-up service. The program file's path is read whole, however long.
#include <windows.h>
#include <objbase.h>

#include "kiro/app_platform.h"
#include "kiro/ui/loop.h"

namespace kiro::app::platform {

void start() {
    SetProcessDPIAware();
    CoInitialize(nullptr);
    kiro::ui::initializeToolkit();
}

void stop() {
    kiro::ui::finalizeToolkit();
    CoUninitialize();
}

std::wstring modulePath(void* instance) {
    // A path that fills the buffer may have been cut: the buffer grows until it fits, so a
    // program deep in the folders still finds its settings files.
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(instance), &buffer[0],
                                           static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return buffer.substr(0, n);
        if (buffer.size() >= 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

void changeDirectory(const std::wstring& directory) { SetCurrentDirectoryW(directory.c_str()); }

}  // namespace kiro::app::platform
