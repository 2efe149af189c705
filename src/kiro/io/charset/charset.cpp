// Character-set detection (UTF-8, Shift_JIS, then a statistical guess) and the conversion
// entry points; the conversions themselves are the platform's.
#include "kiro/io/charset/charset.h"

#include <cstdint>
#include <cstring>

#include "kiro/io/charset/codepage.h"
#include "kiro/io/charset/detect.h"
#include "kiro/io/utf8.h"

namespace kiro::io {

namespace detect {

// Whether all eight bytes are plain ASCII from 0x20 to 0x7F.
static bool plainAscii8(const uint8_t* p) {
    uint64_t x;
    std::memcpy(&x, p, 8);
    const uint64_t high = 0x8080808080808080ull;
    // A byte below 0x20 borrows into its top bit when 0x20 is taken away.
    return ((x | (x - 0x2020202020202020ull)) & high) == 0;
}

// Whether all eight bytes are below 0x80.
static bool ascii8(const uint8_t* p) {
    uint64_t x;
    std::memcpy(&x, p, 8);
    return (x & 0x8080808080808080ull) == 0;
}

bool isUtf8(const uint8_t* p, size_t size) {
    size_t i = 0;
    while (i < size) {
        // Skip runs of plain ASCII eight bytes at a time.
        while (i + 8 <= size && plainAscii8(p + i)) i += 8;
        if (i == size) break;
        const uint8_t b = p[i];
        if (b == 0x09 || b == 0x0A || b == 0x0D || (b >= 0x20 && b <= 0x7F)) {
            ++i;
            continue;
        }
        size_t n;
        if (b >= 0xC2 && b <= 0xDF) n = 2;
        else if (b >= 0xE0 && b <= 0xEF) n = 3;
        else if (b >= 0xF0 && b <= 0xF7) n = 4;
        else if (b >= 0xF8 && b <= 0xFB) n = 5;
        else if (b >= 0xFC && b <= 0xFD) n = 6;
        else return false;
        if (size - i < n) return false;
        for (size_t k = 1; k < n; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) return false;
        }
        i += n;
    }
    return true;
}

bool isMultibyteUtf8(const uint8_t* p, size_t size) {
    bool multibyte = false;
    size_t i = 0;
    while (i < size) {
        while (i + 8 <= size && ascii8(p + i)) i += 8;
        if (i == size) break;
        const uint8_t b = p[i];
        if (b < 0x80) {
            ++i;
            continue;
        }
        const size_t n = utf8::sequenceLength(p + i, size - i);
        if (n == 0) return false;
        multibyte = true;
        i += n;
    }
    return multibyte;
}

bool isShiftJis(const uint8_t* p, size_t size) {
    size_t i = 0;
    while (i < size) {
        const uint8_t b = p[i];
        if (b == 0x09 || b == 0x0A || b == 0x0D || (b >= 0x20 && b <= 0x7E) || (b >= 0xA1 && b <= 0xDF)) {
            ++i;
            continue;
        }
        if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF)) {
            if (i + 1 >= size) return false;
            const uint8_t t = p[i + 1];
            if (!((t >= 0x40 && t <= 0x7E) || (t >= 0x80 && t <= 0xFC))) return false;
            i += 2;
            continue;
        }
        return false;
    }
    return true;
}

Guess guess(const uint8_t* p, size_t size) {
    uint64_t high = 0, sjis = 0, euc = 0;
    size_t i = 0;
    while (size > 0 && i < size - 1) {
        const uint8_t b = p[i];
        if (b == 0x1B) return Guess::Unknown;
        if (b < 0x81) {
            ++i;
            continue;
        }
        ++high;
        if (b <= 0x9F) {
            if ((b != 0x8E && b != 0x8F) || p[i + 1] < 0xA1) ++sjis;
            i += 2;
        } else if (b >= 0xE0) {
            i += 2;
        } else {
            ++euc;
            ++i;
        }
    }
    const uint64_t t = high / 2 + high / 4;
    if (sjis > t) return Guess::ShiftJis;
    if (euc <= t) return Guess::Utf8;
    return Guess::EucJp;
}

}  // namespace detect

std::wstring decode(const void* data, size_t size) {
    if (data == nullptr || size == 0) return {};
    const auto* p = static_cast<const uint8_t*>(data);
    // A byte-order mark declares UTF-8; it is not part of the text.
    if (size >= 3 && p[0] == 0xEF && p[1] == 0xBB && p[2] == 0xBF) return fromUtf8(p + 3, size - 3);
    // Well-formed multi-byte UTF-8 is UTF-8 even with control bytes (escape, vertical tab, form
    // feed) that the tests below refuse: the guess would misread it, and a note read wrongly
    // would be written back wrongly.
    if (detect::isMultibyteUtf8(p, size) || detect::isUtf8(p, size)) return fromUtf8(p, size);
    if (detect::isShiftJis(p, size)) return fromAnsi(p, size);
    switch (detect::guess(p, size)) {
    case detect::Guess::ShiftJis: return fromAnsi(p, size);
    case detect::Guess::Utf8: return fromUtf8(p, size);
    case detect::Guess::EucJp: return codepage::toWide(codepage::EucJp, p, size);
    default: return L"charset.cpp:unknown charset";
    }
}

std::wstring fromUtf8(const void* data, size_t size) {
    if (data == nullptr || size == 0) return {};
    // Well-formed UTF-8 without control bytes is read straight, to the same characters: a
    // short text (an analysed word, a name) skips the general converter's set-up.
    const auto* bytes = static_cast<const char*>(data);
    std::wstring wide(size, L'\0');
    const size_t length = utf8::toWideIfPlain(bytes, size, wide.data());
    if (length == utf8::NotPlain) return codepage::toWide(codepage::Utf8, data, size);
    wide.resize(length);
    return wide;
}

std::wstring fromAnsi(const void* data, size_t size) {
    if (data == nullptr || size == 0) return {};
    return codepage::toWide(codepage::Ansi, data, size);
}

std::string toUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    return codepage::fromWide(codepage::Utf8, wide);
}

std::string toAnsi(const std::wstring& wide) {
    if (wide.empty()) return {};
    return codepage::fromWide(codepage::Ansi, wide);
}

}  // namespace kiro::io
