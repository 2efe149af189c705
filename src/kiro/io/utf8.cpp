// Checking and reading well-formed UTF-8, with plain ASCII taken eight bytes at a time.
#include "kiro/io/utf8.h"

#include <cstdint>
#include <cstring>

namespace kiro::io::utf8 {

namespace {

// Whether all eight bytes are ASCII from 0x20 to 0x7F.
bool plainAscii8(const unsigned char* p) {
    uint64_t x;
    std::memcpy(&x, p, 8);
    // A byte below 0x20 borrows into its top bit when 0x20 is taken away.
    return ((x | (x - 0x2020202020202020ull)) & 0x8080808080808080ull) == 0;
}

}  // namespace

bool isPlain(const char* text, size_t n) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    size_t i = 0;
    while (i < n) {
        while (i + 8 <= n && plainAscii8(p + i)) i += 8;
        if (i == n) break;
        const unsigned char b = p[i];
        if (b < 0x80) {
            if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') return false;
            ++i;
            continue;
        }
        // The lead byte gives the length and the range of the first continuation byte, which
        // rules out overlong forms, surrogates and code points past U+10FFFF.
        size_t length;
        unsigned char low = 0x80, high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        } else {
            return false;
        }
        if (n - i < length || p[i + 1] < low || p[i + 1] > high) return false;
        for (size_t k = 2; k < length; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
        }
        i += length;
    }
    return true;
}

size_t toWide(const char* text, size_t n, wchar_t* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    wchar_t* const start = out;
    size_t i = 0;
    while (i < n) {
        while (i + 8 <= n && plainAscii8(p + i)) {
            for (int k = 0; k < 8; ++k) out[k] = static_cast<wchar_t>(p[i + k]);
            out += 8;
            i += 8;
        }
        if (i == n) break;
        const unsigned char b = p[i];
        uint32_t c;
        if (b < 0x80) {
            c = b;
            i += 1;
        } else if (b < 0xE0) {
            c = (b & 0x1Fu) << 6 | (p[i + 1] & 0x3Fu);
            i += 2;
        } else if (b < 0xF0) {
            c = (b & 0x0Fu) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
            i += 3;
        } else {
            c = (b & 0x07u) << 18 | (p[i + 1] & 0x3Fu) << 12 | (p[i + 2] & 0x3Fu) << 6 | (p[i + 3] & 0x3Fu);
            i += 4;
            if constexpr (sizeof(wchar_t) == 2) {
                c -= 0x10000;
                *out++ = static_cast<wchar_t>(0xD800 + (c >> 10));
                c = 0xDC00 + (c & 0x3FF);
            }
        }
        *out++ = static_cast<wchar_t>(c);
    }
    return static_cast<size_t>(out - start);
}

}  // namespace kiro::io::utf8
