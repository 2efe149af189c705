// Well-formed UTF-8 read straight into wide characters, for the readers that parse a large
// document without first making a decoded copy of all of it.
#pragma once

#include <cstddef>

namespace kiro::io::utf8 {

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, nothing past
// U+10FFFF) with no control bytes but tab, line feed and carriage return. decode() reads such
// bytes, when they do not begin with a byte-order mark, as UTF-8 into exactly the characters
// that toWide gives.
bool isPlain(const char* p, size_t n);

// The wide characters of bytes that isPlain accepts (UTF-16 where wide characters have two
// bytes), written to out; returns how many, which is never more than n.
size_t toWide(const char* p, size_t n, wchar_t* out);

// What toWideIfPlain gives for bytes that isPlain refuses.
constexpr size_t NotPlain = ~size_t(0);

// isPlain and toWide in one pass, for short texts: the number of wide characters written to
// out (room for n), or NotPlain, with out then holding an unfinished part.
size_t toWideIfPlain(const char* p, size_t n, wchar_t* out);

// The length of the well-formed sequence that starts with the byte p[0] >= 0x80, left bytes
// being there to read (as isPlain judges it); 0 when it is not one.
size_t sequenceLength(const unsigned char* p, size_t left);

// The length of a leading UTF-8 byte-order mark: 3 or 0.
inline size_t byteOrderMark(const char* p, size_t n) {
    return n >= 3 && p[0] == '\xEF' && p[1] == '\xBB' && p[2] == '\xBF' ? 3 : 0;
}

}  // namespace kiro::io::utf8
