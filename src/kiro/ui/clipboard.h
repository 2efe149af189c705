// Clipboard text: read and replace the system clipboard's Unicode text.
#pragma once

#include <string>

namespace kiro::ui {

// The clipboard's text, or empty when it holds none or cannot be read.
std::wstring getClipboardText();

// Replaces the clipboard's content with text; false for an empty text or when the clipboard
// cannot be taken. The text stays on the clipboard after the program ends where the desktop
// keeps clipboard contents.
bool setClipboardText(const std::wstring& text);

}  // namespace kiro::ui
