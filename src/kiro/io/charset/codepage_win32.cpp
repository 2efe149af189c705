// Code-page conversion on Windows: MultiByteToWideChar / WideCharToMultiByte with UTF-8, the
// ANSI code page and code page 20932 (EUC-JP).
#include <windows.h>

#include <climits>

#include "kiro/io/charset/codepage.h"

namespace kiro::io::codepage {

namespace {

UINT number(Page page) {
    switch (page) {
    case Utf8: return CP_UTF8;
    case Ansi: return CP_ACP;
    case EucJp: return 20932;
    }
    return CP_UTF8;
}

}  // namespace

std::wstring toWide(Page page, const void* data, size_t size) {
    if (size > size_t(INT_MAX)) return {};
    const auto* in = static_cast<const char*>(data);
    const int n = MultiByteToWideChar(number(page), 0, in, int(size), nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(size_t(n), L'\0');
    const int m = MultiByteToWideChar(number(page), 0, in, int(size), &out[0], n);
    out.resize(m > 0 ? size_t(m) : 0);
    return out;
}

std::string fromWide(Page page, const std::wstring& wide) {
    if (wide.size() > size_t(INT_MAX)) return {};
    const int n = WideCharToMultiByte(number(page), 0, wide.data(), int(wide.size()), nullptr, 0,
                                      nullptr, nullptr);
    if (n <= 0) return {};
    std::string out(size_t(n), '\0');
    const int m = WideCharToMultiByte(number(page), 0, wide.data(), int(wide.size()), &out[0], n,
                                      nullptr, nullptr);
    out.resize(m > 0 ? size_t(m) : 0);
    return out;
}

}  // namespace kiro::io::codepage
