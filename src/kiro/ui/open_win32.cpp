// Win32 backend of the open helper: ShellExecuteW, whose result codes the portable part turns
// into the "failed ShellExecute()" texts.
//
// Implements: web addresses with the verb "open" and no working directory; files and folders
//   by their full path with their own folder as working directory.
// Approximates: nothing. Lacks: nothing (paths longer than MAX_PATH are passed on whole).
#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "kiro/ui/open.h"

namespace kiro::ui {

namespace {

std::wstring fullPathOf(const std::wstring& path) {
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::vector<wchar_t> buffer(needed);
    const DWORD n = GetFullPathNameW(path.c_str(), needed, buffer.data(), nullptr);
    return n > 0 && n < needed ? std::wstring(buffer.data(), n) : path;
}

// The folder holding path: up to its last backslash, keeping the backslash of a drive's root
// ("C:\" rather than "C:", which would name the drive's current folder).
std::wstring folderOf(const std::wstring& full) {
    const std::size_t slash = full.find_last_of(L'\\');
    if (slash == std::wstring::npos) return {};
    if (slash > 0 && full[slash - 1] == L':') return full.substr(0, slash + 1);
    return full.substr(0, slash);
}

int codeOf(HINSTANCE result) { return static_cast<int>(reinterpret_cast<INT_PTR>(result)); }

}  // namespace

int launchAssociated(const std::wstring& path, bool webAddress) {
    if (webAddress) {
        return codeOf(ShellExecuteW(nullptr, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    }
    const std::wstring full = fullPathOf(path);
    const std::wstring folder = folderOf(full);
    return codeOf(ShellExecuteW(nullptr, nullptr, full.c_str(), nullptr,
                                folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL));
}

}  // namespace kiro::ui
