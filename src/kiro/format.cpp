// printf-style wide formatting without a length limit: a 1024-character buffer first, a larger
// one only when the result needs it.
#include "kiro/format.h"

#include <cerrno>
#include <cstdarg>
#include <cwchar>
#include <vector>

namespace kiro {

namespace {

// When the buffer is too small, glibc's vswprintf gives -1 (as it does for an encoding error,
// which sets EILSEQ and is not retried), while MinGW's gives the length needed. Results beyond
// 64 Mi characters are not attempted.
constexpr size_t kLimit = size_t(1) << 26;

// The length of the result when it fit into size characters, else -1 with *needed set to a
// size worth trying next (0 when retrying is pointless).
int attempt(wchar_t* buffer, size_t size, const wchar_t* fmt, va_list args, size_t* needed) {
    errno = 0;
    const int n = std::vswprintf(buffer, size, fmt, args);
    if (n >= 0 && size_t(n) < size) return n;
    if (n >= 0) *needed = size_t(n) + 1;
    else *needed = errno == EILSEQ ? 0 : size * 4;
    return -1;
}

}  // namespace

std::wstring format(const wchar_t* fmt, ...) {
    if (fmt == nullptr) return {};
    wchar_t small[1024];
    size_t needed = 0;
    va_list args;
    va_start(args, fmt);
    int n = attempt(small, 1024, fmt, args, &needed);
    va_end(args);
    if (n >= 0) return std::wstring(small, size_t(n));

    std::vector<wchar_t> big;
    while (needed != 0 && needed <= kLimit) {
        big.resize(needed);
        va_start(args, fmt);
        n = attempt(big.data(), big.size(), fmt, args, &needed);
        va_end(args);
        if (n >= 0) return std::wstring(big.data(), size_t(n));
    }
    return {};
}

}  // namespace kiro
