// printf-style wide formatting without a length limit: a 1024-character buffer first, a larger
// one only when the result needs it.
#include "kiro/format.h"

#include <cerrno>
#include <cstdarg>
#include <cwchar>
#include <vector>

namespace kiro {

namespace {

// vswprintf gives -1 both for a buffer that is too small and for an encoding error; the
// latter sets EILSEQ and is not retried. Results beyond 64 Mi characters are not attempted.
constexpr size_t kLimit = size_t(1) << 26;

}  // namespace

std::wstring format(const wchar_t* fmt, ...) {
    if (fmt == nullptr) return {};
    wchar_t small[1024];
    va_list args;
    va_start(args, fmt);
    errno = 0;
    int n = std::vswprintf(small, 1024, fmt, args);
    va_end(args);
    if (n >= 0) return std::wstring(small, size_t(n));
    if (errno == EILSEQ) return {};

    std::vector<wchar_t> big;
    for (size_t size = 4096; size <= kLimit; size *= 4) {
        big.resize(size);
        va_start(args, fmt);
        errno = 0;
        n = std::vswprintf(big.data(), size, fmt, args);
        va_end(args);
        if (n >= 0) return std::wstring(big.data(), size_t(n));
        if (errno == EILSEQ) break;
    }
    return {};
}

}  // namespace kiro
