// GTK backend only: menu labels with "&" access keys turned into GTK mnemonic labels.
#pragma once

#include <string>

#include "kiro/ui/text_gtk.h"

namespace kiro::ui::gtk {

// "&X" marks X as the access key ("_X" for GTK), "&&" is a literal "&", and a literal "_"
// is doubled so that GTK does not take it for a mnemonic.
inline std::string mnemonicLabel(const std::wstring& label) {
    std::wstring out;
    out.reserve(label.size() + 2);
    for (std::size_t i = 0; i < label.size(); ++i) {
        const wchar_t c = label[i];
        if (c == L'&') {
            if (i + 1 < label.size() && label[i + 1] == L'&') {
                out.push_back(L'&');
                ++i;
            } else if (i + 1 < label.size()) {
                out.push_back(L'_');
            }
        } else if (c == L'_') {
            out.append(L"__");
        } else {
            out.push_back(c);
        }
    }
    return utf8(out);
}

}  // namespace kiro::ui::gtk
