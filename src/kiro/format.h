// printf-style formatting into a wide string, without a length limit.
#pragma once

#include <string>

namespace kiro {

std::wstring format(const wchar_t* fmt, ...);

}  // namespace kiro
