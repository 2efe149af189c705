// A modal message box: text, caption, MB_* style flags (boxflags.h), and optionally the window
// that owns it; returns the ID* value of the button chosen.
#pragma once

#include <string>

#include "kiro/ui/boxflags.h"
#include "kiro/ui/types.h"

namespace kiro::ui {

// An owner keeps the box above itself and is disabled while the box is open; without one the
// box stands alone.
int messageBox(const std::wstring& text, const std::wstring& caption, unsigned flags,
               WindowHandle owner = nullptr);
// Text and caption in the ANSI code page (as kiro::Exception holds its text).
int messageBoxNarrow(const std::string& text, const std::string& caption, unsigned flags);

}  // namespace kiro::ui
