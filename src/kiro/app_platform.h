// The platform services behind start-up and shut-down.
#pragma once

#include <string>

namespace kiro::app::platform {

// DPI awareness and COM on Windows; the window toolkit on Linux.
void start();
void stop();
std::wstring modulePath(void* instance);
// Failures are ignored.
void changeDirectory(const std::wstring& directory);

}  // namespace kiro::app::platform
