// The platform's code-page conversions behind the charset functions.
#pragma once

#include <cstddef>
#include <string>

namespace kiro::io::codepage {

enum Page { Utf8, Ansi, EucJp };

// Invalid input becomes U+FFFD; never fails.
std::wstring toWide(Page page, const void* data, size_t size);
// Characters the page cannot hold become '?' (U+FFFD for UTF-8).
std::string fromWide(Page page, const std::wstring& wide);

}  // namespace kiro::io::codepage
