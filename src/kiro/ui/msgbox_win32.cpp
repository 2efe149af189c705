// Message boxes on Windows: MessageBoxW (with its owner window, if any) and MessageBoxA.
//
// Implements: every box of the toolkit, from any thread. Lacks: nothing.
#include <windows.h>

#include "kiro/ui/loop.h"
#include "kiro/ui/msgbox.h"

namespace kiro::ui {

static_assert(MbOk == MB_OK && MbOkCancel == MB_OKCANCEL && MbYesNo == MB_YESNO &&
              MbYesNoCancel == MB_YESNOCANCEL && MbIconError == MB_ICONERROR &&
              MbIconQuestion == MB_ICONQUESTION && MbIconWarning == MB_ICONWARNING &&
              MbIconInformation == MB_ICONINFORMATION && MbDefButton2 == MB_DEFBUTTON2 &&
              MbTopmost == MB_TOPMOST);
static_assert(IdOk == IDOK && IdCancel == IDCANCEL && IdYes == IDYES && IdNo == IDNO);

int messageBox(const std::wstring& text, const std::wstring& caption, unsigned flags,
               WindowHandle owner) {
    // While the program quits nobody is there to answer.
    if (quitRequested()) return dismissedAnswer(flags);
    return MessageBoxW(static_cast<HWND>(owner), text.c_str(), caption.c_str(), flags);
}

int messageBoxNarrow(const std::string& text, const std::string& caption, unsigned flags) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(), flags);
}

}  // namespace kiro::ui
