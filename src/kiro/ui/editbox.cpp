// The text-entry control's portable part: the line-break rules.
#include "kiro/ui/editbox.h"

namespace kiro::ui {

std::wstring EditBox::toLineFeeds(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'\r') {
            out.push_back(L'\n');
            if (i + 1 < text.size() && text[i + 1] == L'\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

std::wstring EditBox::withoutReturns(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text) {
        if (c != L'\r') out.push_back(c);
    }
    return out;
}

}  // namespace kiro::ui
