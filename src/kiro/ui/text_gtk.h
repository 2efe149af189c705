// GTK backend only: wide strings to and from the UTF-8 that GTK speaks. Every conversion of the
// GTK backend goes through these two.
#pragma once

#include <glib.h>

#include <string>

namespace kiro::ui::gtk {

// One character for each wchar_t, so character indexes carry over: code points that UTF-8
// cannot carry (surrogates, values above U+10FFFF) and U+0000, which would end the text
// early for GTK, become U+FFFD.
inline std::string utf8(const std::wstring& text) {
    std::string out;
    out.reserve(text.size());
    char buf[8];
    for (wchar_t c : text) {
        gunichar u = static_cast<gunichar>(c);
        if (u == 0 || !g_unichar_validate(u)) u = 0xFFFD;
        const int n = g_unichar_to_utf8(u, buf);
        out.append(buf, static_cast<std::size_t>(n));
    }
    return out;
}

// Invalid sequences become U+FFFD; null reads as empty.
inline std::wstring wide(const char* text) {
    std::wstring out;
    if (text == nullptr) return out;
    const char* p = text;
    const char* end = text + std::char_traits<char>::length(text);
    while (p < end) {
        const gunichar u = g_utf8_get_char_validated(p, end - p);
        if (u == static_cast<gunichar>(-1) || u == static_cast<gunichar>(-2)) {
            out.push_back(static_cast<wchar_t>(0xFFFD));
            ++p;
            continue;
        }
        out.push_back(static_cast<wchar_t>(u));
        p = g_utf8_next_char(p);
    }
    return out;
}

}  // namespace kiro::ui::gtk
