// The Win32 backend's own cases: the input method given up and cursors loaded with their hot
// spot and shown.
#include <windows.h>

#include <imm.h>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/window_win32.h"
#include "support/cases.h"
#include "support/uidriver.h"

namespace kiro::ui {

using Win32Window = uitest::Ui;

TEST_F(Win32Window, TheInputMethodCanBeDroppedAndCursorFilesKeepTheirHotSpot) {
    Window w(nullptr, WS_POPUP);
    HIMC before = ImmGetContext(hwndOf(w));
    ASSERT_NE(before, nullptr);
    ImmReleaseContext(hwndOf(w), before);
    w.disableIme();
    EXPECT_EQ(ImmGetContext(hwndOf(w)), nullptr);
    auto path = [](const char* name) { return kiro::io::fromUtf8(tavi::test::dataPath(name)); };
    auto hotSpot = [](const Cursor& c) {
        ICONINFO info = {};
        GetIconInfo(static_cast<HICON>(hcursorOf(c)), &info);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        return std::pair(int(info.xHotspot), int(info.yHotspot));
    };
    auto dot = Cursor::fromFile(path("ui\\dot.cur"));
    auto picture = Cursor::fromFile(path("ui/figure.png"));
    ASSERT_TRUE(dot && picture);
    EXPECT_EQ(hotSpot(*dot), std::pair(5, 7));  // as the file says
    EXPECT_EQ(hotSpot(*picture), std::pair(0, 0));
    EXPECT_EQ(Cursor::fromFile(path("ui/missing.cur")), nullptr);
    EXPECT_EQ(Cursor::fromFile(path("ui")), nullptr);
    setCursor(dot.get());
    EXPECT_EQ(GetCursor(), hcursorOf(*dot));
    setCursor(nullptr);
    EXPECT_EQ(GetCursor(), nullptr);
}

}  // namespace kiro::ui
