// The yes/no question box.
#pragma once

#include <string>

namespace kiro::ui {

class Window;

// Asks text in a box captioned "Yes / No" with a question icon; true when the user chose Yes.
// The box belongs to owner when one is given.
bool ask(const std::wstring& text, Window* owner = nullptr);

}  // namespace kiro::ui
