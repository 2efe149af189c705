// Bytes of unknown encoding to wide text and back: UTF-8, Shift_JIS (code page 932), EUC-JP.
#pragma once

#include <cstddef>
#include <string>

namespace kiro::io {

// Detection order: well-formed UTF-8 with multi-byte characters (whatever control bytes it
// holds), UTF-8 of the common characters, Shift_JIS, then a statistical guess between
// Shift_JIS, EUC-JP and UTF-8. A leading UTF-8 byte-order mark is dropped (the rest is read as
// UTF-8). Text with escape sequences (ISO-2022-JP) gives the text "charset.cpp:unknown
// charset". Never fails.
std::wstring decode(const void* data, size_t size);

std::wstring fromUtf8(const void* data, size_t size);
std::wstring fromAnsi(const void* data, size_t size);
std::string toUtf8(const std::wstring& wide);
std::string toAnsi(const std::wstring& wide);

inline std::wstring fromUtf8(const std::string& s) { return fromUtf8(s.data(), s.size()); }

}  // namespace kiro::io
