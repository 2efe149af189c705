// Start-up services on Windows: DPI awareness, COM, the window toolkit, GetModuleFileNameW and
// SetCurrentDirectoryW.
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
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(static_cast<HMODULE>(instance), buffer, MAX_PATH);
    return std::wstring(buffer, n < MAX_PATH ? n : 0);
}

void changeDirectory(const std::wstring& directory) { SetCurrentDirectoryW(directory.c_str()); }

}  // namespace kiro::app::platform
