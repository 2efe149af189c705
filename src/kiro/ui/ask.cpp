// The yes/no question box, on the toolkit's message box.
#include "kiro/ui/ask.h"

#include "kiro/ui/msgbox.h"

namespace kiro::ui {

bool ask(const std::wstring& text, Window*) {
    return messageBox(text, L"Yes / No", MbYesNo | MbIconQuestion) == IdYes;
}

}  // namespace kiro::ui
