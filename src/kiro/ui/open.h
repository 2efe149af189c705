// Opening a file, folder or web address with the program the desktop associates with it.
#pragma once

#include <string>

namespace kiro::ui {

// Opens path (an http or https address, or a file or folder path relative to the current
// directory) with its associated program. On failure shows a box captioned
// "failed ShellExecute()" that says why, and returns false.
bool open(const std::wstring& path);

// True for a web address: "http:" or "https:" at the start, in any letter case.
bool isWebAddress(const std::wstring& path);

// The explanation shown for a failed open with the given code (the ShellExecute codes 0 to 32);
// empty for any other code.
std::wstring openErrorText(int code);

// Platform part: hands path to the desktop and returns a code above 32 on success, else the
// ShellExecute code that describes the failure best.
int launchAssociated(const std::wstring& path, bool webAddress);

}  // namespace kiro::ui
