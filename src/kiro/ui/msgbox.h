// A modal message box without an owner window: text, caption, MB_* style flags (boxflags.h);
// returns the ID* value of the button chosen.
#pragma once

#include <string>

#include "kiro/ui/boxflags.h"

namespace kiro::ui {

int messageBox(const std::wstring& text, const std::wstring& caption, unsigned flags);
// Text and caption in the ANSI code page (as kiro::Exception holds its text).
int messageBoxNarrow(const std::string& text, const std::string& caption, unsigned flags);

}  // namespace kiro::ui
