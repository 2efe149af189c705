// Fuzzes splitting web addresses into their parts.
#include <cstddef>
#include <cstdint>

#include "kiro/io/charset/charset.h"
#include "kiro/io/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const kiro::io::Url url(kiro::io::fromUtf8(data, size));
    if (url.scheme.empty() && url.full.empty()) return 0;
    // The parts put together again give the address without its query and fragment.
    if (url.full != url.scheme + L"://" + url.host + url.path) __builtin_trap();
    if (url.path.empty() || url.path[0] != L'/') __builtin_trap();
    if (url.host.find_first_of(L"/?#") != std::wstring::npos) __builtin_trap();
    if (url.path.find_first_of(L"?#") != std::wstring::npos) __builtin_trap();
    if (url.query.find(L'#') != std::wstring::npos) __builtin_trap();
    if (url.extension.find(L'/') != std::wstring::npos) __builtin_trap();
    return 0;
}
