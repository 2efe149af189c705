// The single-instance guard on Windows: a named mutex, created initially owned.
#include <windows.h>

#include "kiro/instance.h"

namespace kiro {

bool InstanceLock::acquire(const std::wstring& name) {
    release();
    HANDLE mutex = CreateMutexW(nullptr, TRUE, name.c_str());
    if (mutex == nullptr) return true;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ReleaseMutex(mutex);
        CloseHandle(mutex);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(mutex);
    held_ = true;
    return true;
}

void InstanceLock::release() {
    if (!held_) return;
    HANDLE mutex = reinterpret_cast<HANDLE>(handle_);
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    handle_ = 0;
    held_ = false;
}

}  // namespace kiro
