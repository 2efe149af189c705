// Code-page conversion on Linux through glibc iconv: UTF-8, CP932 (Shift_JIS with the vendor
// extensions, standing in for the Japanese ANSI code page) and EUC-JP.
#include <iconv.h>

#include <cerrno>
#include <cstdint>
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
    // These pages never give more characters than bytes (nor does one replacement per
    // skipped byte), so one buffer of that size takes the whole text: no regrowth, no copies.
    out.resize(size + 1);
    size_t used = 0;
    while (left > 0) {
        char* o = reinterpret_cast<char*>(&out[used]);
        size_t room = (out.size() - used) * sizeof(wchar_t);
        const size_t r = iconv(cd, &in, &left, &o, &room);
        used = size_t(reinterpret_cast<wchar_t*>(o) - out.data());
        if (r != size_t(-1)) break;
        if (errno == E2BIG) {
            out.resize(out.size() * 2);
            continue;
        }
        // An invalid or cut-off sequence: one replacement character per byte skipped.
        if (used == out.size()) out.resize(out.size() * 2);
        out[used++] = L'\uFFFD';
        ++in;
        --left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(used);
    // glibc still reads the obsolete five- and six-byte forms, which name no character:
    // they become replacement characters, as on Windows.
    if (page == Utf8) {
        for (wchar_t& c : out) {
            const auto u = static_cast<uint32_t>(c);
            if (u > 0x10FFFF || (u >= 0xD800 && u <= 0xDFFF)) c = L'\uFFFD';
        }
    }
    // Text of multibyte characters leaves much of the buffer unused; give it back.
    if (out.capacity() > 2 * used + 64) out.shrink_to_fit();
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
