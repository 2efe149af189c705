// Code-page conversion on Linux through glibc iconv: UTF-8, CP932 (Shift_JIS with the vendor
// extensions, standing in for the Japanese ANSI code page) and EUC-JP.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "kiro/io/charset/codepage.h"

namespace kiro::io::codepage {

namespace {

const char* name(Page page) {
    switch (page) {
    case Utf8: return "UTF-8";
    case Ansi: return "CP932";
    case EucJp: return "EUC-JP";
    }
    return "UTF-8";
}

// One descriptor per direction and page per thread: iconv_t is not safe to share.
struct Converter {
    iconv_t cd = iconv_t(-1);
    ~Converter() {
        if (cd != iconv_t(-1)) iconv_close(cd);
    }
};

iconv_t converter(Page page, bool toWide) {
    thread_local Converter table[2][3];
    Converter& c = table[toWide ? 1 : 0][page];
    if (c.cd == iconv_t(-1)) {
        c.cd = toWide ? iconv_open("WCHAR_T", name(page)) : iconv_open(name(page), "WCHAR_T");
    } else {
        iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
    }
    return c.cd;
}

}  // namespace

std::wstring toWide(Page page, const void* data, size_t size) {
    std::wstring out;
    out.reserve(size);
    iconv_t cd = converter(page, true);
    if (cd == iconv_t(-1)) return out;
    char* in = const_cast<char*>(static_cast<const char*>(data));
    size_t left = size;
    wchar_t buffer[1024];
    while (left > 0) {
        char* o = reinterpret_cast<char*>(buffer);
        size_t room = sizeof buffer;
        const size_t r = iconv(cd, &in, &left, &o, &room);
        out.append(buffer, size_t(reinterpret_cast<wchar_t*>(o) - buffer));
        if (r != size_t(-1)) break;
        if (errno == E2BIG) continue;
        // An invalid or cut-off sequence: one replacement character per byte skipped.
        out.push_back(L'\uFFFD');
        ++in;
        --left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string fromWide(Page page, const std::wstring& wide) {
    std::string out;
    iconv_t cd = converter(page, false);
    if (cd == iconv_t(-1)) return out;
    char* in = reinterpret_cast<char*>(const_cast<wchar_t*>(wide.data()));
    size_t left = wide.size() * sizeof(wchar_t);
    char buffer[4096];
    while (left > 0) {
        char* o = buffer;
        size_t room = sizeof buffer;
        const size_t r = iconv(cd, &in, &left, &o, &room);
        out.append(buffer, size_t(o - buffer));
        if (r != size_t(-1)) break;
        if (errno == E2BIG) continue;
        out += page == Utf8 ? "\xEF\xBF\xBD" : "?";
        in += sizeof(wchar_t);
        left = left >= sizeof(wchar_t) ? left - sizeof(wchar_t) : 0;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

}  // namespace kiro::io::codepage
