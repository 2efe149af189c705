// Fuzzes splitting web addresses into their parts.

#include "fuzz_folder.h"
#include "kiro/io/url.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const kiro::io::Url url(kiro::io::fromUtf8(data, size));
    if (url.scheme.empty() && url.full.empty()) return 0;
    // The parts put together again give the address without its query and fragment.
    check(url.full == url.scheme + L"://" + url.host + url.path);
    check(!url.path.empty() && url.path[0] == L'/');
    check(url.host.find_first_of(L"/?#") == std::wstring::npos && url.path.find_first_of(L"?#") == std::wstring::npos);
    check(url.query.find(L'#') == std::wstring::npos && url.extension.find(L'/') == std::wstring::npos);
    return 0;
}
