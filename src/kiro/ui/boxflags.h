// Message-box flags and answers, with the values of the Win32 MB_* and ID* constants so code
// written against those values reads the same on every platform.
#pragma once

namespace kiro::ui {

enum BoxFlags : unsigned {
    MbOk = 0x0000,
    MbOkCancel = 0x0001,
    MbYesNoCancel = 0x0003,
    MbYesNo = 0x0004,
    MbButtonMask = 0x000F,
    MbIconError = 0x0010,
    MbIconQuestion = 0x0020,
    MbIconWarning = 0x0030,
    MbIconInformation = 0x0040,
    MbIconMask = 0x00F0,
    MbDefButton2 = 0x0100,
    MbTopmost = 0x40000,
};

enum BoxAnswer : int {
    IdOk = 1,
    IdCancel = 2,
    IdYes = 6,
    IdNo = 7,
};

// The answer of a box closed without a choice (by its frame, or by the program's quit):
// Cancel where there is one, else No, else OK.
constexpr int dismissedAnswer(unsigned flags) {
    switch (flags & MbButtonMask) {
    case MbOkCancel:
    case MbYesNoCancel:
        return IdCancel;
    case MbYesNo:
        return IdNo;
    default:
        return IdOk;
    }
}

}  // namespace kiro::ui
