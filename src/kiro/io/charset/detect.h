// The byte-pattern tests behind decode, open to the tests and the fuzzer.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kiro::io::detect {

bool isUtf8(const uint8_t* p, size_t size);
bool isShiftJis(const uint8_t* p, size_t size);

enum class Guess { Unknown = 0, ShiftJis = 1, EucJp = 2, Utf8 = 3 };
// For text that is neither clean UTF-8 nor clean Shift_JIS; an escape byte gives Unknown.
Guess guess(const uint8_t* p, size_t size);

}  // namespace kiro::io::detect
