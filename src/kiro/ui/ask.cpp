// The yes/no question box, on the toolkit's message box.
#include "kiro/ui/ask.h"

#include "kiro/ui/msgbox.h"
#include "kiro/ui/window.h"

namespace kiro::ui {

bool ask(const std::wstring& text, Window* owner) {
    return messageBox(text, L"Yes / No", MbYesNo | MbIconQuestion,
                      owner != nullptr ? owner->handle() : nullptr) == IdYes;
}

}  // namespace kiro::ui
