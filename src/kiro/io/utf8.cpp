// Checking and reading well-formed UTF-8, with plain ASCII taken eight bytes at a time.
#include "kiro/io/utf8.h"

#include <cstdint>
#include <cstring>

namespace kiro::io::utf8 {

namespace {

// The lead byte gives the length and the range of the first continuation byte, which rules out
// overlong forms, surrogates and code points past U+10FFFF.
inline size_t wellFormedLength(const unsigned char* p, size_t left) {
    const unsigned char b = p[0];
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
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high) return 0;
    for (size_t k = 2; k < length; ++k) {
        if (p[k] < 0x80 || p[k] > 0xBF) return 0;
    }
    return length;
}

// Whether all eight bytes are ASCII from 0x20 to 0x7F.
bool plainAscii8(const unsigned char* p) {
    uint64_t x;
    std::memcpy(&x, p, 8);
    // A byte below 0x20 borrows into its top bit when 0x20 is taken away.
    return ((x | (x - 0x2020202020202020ull)) & 0x8080808080808080ull) == 0;
}

// Writes the character of a well-formed sequence of length bytes (two units for one past
// U+FFFF where wide characters have two bytes); returns the end of what it wrote.
wchar_t* putSequence(const unsigned char* p, size_t length, wchar_t* out) {
    uint32_t c;
    if (length == 1) {
        c = p[0];
    } else if (length == 2) {
        c = (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
    } else if (length == 3) {
        c = (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
    } else {
        c = (p[0] & 0x07u) << 18 | (p[1] & 0x3Fu) << 12 | (p[2] & 0x3Fu) << 6 | (p[3] & 0x3Fu);
        if constexpr (sizeof(wchar_t) == 2) {
            c -= 0x10000;
            *out++ = static_cast<wchar_t>(0xD800 + (c >> 10));
            c = 0xDC00 + (c & 0x3FF);
        }
    }
    *out++ = static_cast<wchar_t>(c);
    return out;
}

// One pass that checks the bytes and, with Write, reads them into out as it goes.
template <bool Write>
size_t readPlain(const char* text, size_t n, wchar_t* out) {
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    wchar_t* const start = out;
    size_t i = 0;
    while (i < n) {
        while (i + 8 <= n && plainAscii8(p + i)) {
            if constexpr (Write) {
                for (int k = 0; k < 8; ++k) out[k] = static_cast<wchar_t>(p[i + k]);
                out += 8;
            }
            i += 8;
        }
        if (i == n) break;
        size_t length = 1;
        if (p[i] < 0x80) {
            if (p[i] < 0x20 && p[i] != '\t' && p[i] != '\n' && p[i] != '\r') return NotPlain;
        } else if ((length = wellFormedLength(p + i, n - i)) == 0) {
            return NotPlain;
        }
        if constexpr (Write) out = putSequence(p + i, length, out);
        i += length;
    }
    return static_cast<size_t>(out - start);
}

}  // namespace

size_t sequenceLength(const unsigned char* p, size_t left) { return wellFormedLength(p, left); }

bool isPlain(const char* text, size_t n) { return readPlain<false>(text, n, nullptr) != NotPlain; }

size_t toWideIfPlain(const char* text, size_t n, wchar_t* out) { return readPlain<true>(text, n, out); }

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
        const size_t length = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        out = putSequence(p + i, length, out);
        i += length;
    }
    return static_cast<size_t>(out - start);
}

}  // namespace kiro::io::utf8
