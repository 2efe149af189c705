// The yes/no question box.
#pragma once

#include <string>

namespace kiro::ui {

class Window;

// Asks text in a box captioned "Yes / No" with a question icon; true when the user chose Yes.
// The owner window is accepted for the callers' sake; the box is modal to the whole program.
bool ask(const std::wstring& text, Window* owner = nullptr);

}  // namespace kiro::ui
