// The byte-pattern tests behind decode, open to the tests and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kiro::io::detect {

bool isUtf8(const uint8_t* p, size_t size);
// Well-formed UTF-8 (no overlong forms, no surrogates, nothing past U+10FFFF) holding at least
// one multi-byte sequence; any ASCII byte, control bytes included, may stand between.
bool isMultibyteUtf8(const uint8_t* p, size_t size);
bool isShiftJis(const uint8_t* p, size_t size);

enum class Guess { Unknown = 0, ShiftJis = 1, EucJp = 2, Utf8 = 3 };
// For text that is neither clean UTF-8 nor clean Shift_JIS; an escape byte gives Unknown.
Guess guess(const uint8_t* p, size_t size);

}  // namespace kiro::io::detect
