// Win32 backend of the clipboard helpers: the CF_UNICODETEXT format through OpenClipboard.
//
// Implements: reading and replacing the clipboard's Unicode text (the clipboard is opened with
//   no owner window). Lacks: nothing.
#include <windows.h>

#include <cstring>

#include "kiro/ui/clipboard.h"

namespace kiro::ui {

std::wstring getClipboardText() {
    if (!OpenClipboard(nullptr)) return {};
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* locked = static_cast<const wchar_t*>(GlobalLock(data))) {
            // The text ends at its first null character, and never past the memory block.
            const std::size_t limit = GlobalSize(data) / sizeof(wchar_t);
            std::size_t n = 0;
            while (n < limit && locked[n] != L'\0') ++n;
            text.assign(locked, n);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool setClipboardText(const std::wstring& text) {
    if (text.empty()) return false;
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, bytes);
    void* locked = memory != nullptr ? GlobalLock(memory) : nullptr;
    if (locked == nullptr) {
        if (memory != nullptr) GlobalFree(memory);
        CloseClipboard();
        return false;
    }
    std::memcpy(locked, text.c_str(), bytes);
    GlobalUnlock(memory);
    // The clipboard owns the memory once it has taken it; a refusal leaves it with us.
    const bool taken = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!taken) GlobalFree(memory);
    CloseClipboard();
    return taken;
}

}  // namespace kiro::ui
