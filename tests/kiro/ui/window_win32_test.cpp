// The Win32 backend's own cases: the window's links to its handle, what the procedure leaves to
// the system, dropped files, the input method, cursors, and pixels put on the screen or a
// device context.
#include <windows.h>

#include <imm.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "kiro/io/charset/charset.h"
#include "kiro/ui/canvas_win32.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/window_win32.h"
#include "support/cases.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using test::Recorder;
using test::XY;
using Win32Window = uitest::Ui;

// A drop of these paths as the shell hands it to a window.
static HGLOBAL dropOf(const std::wstring& zeroSeparated) {
    const std::size_t bytes = (zeroSeparated.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, zeroSeparated.c_str(), bytes);
    GlobalUnlock(memory);
    return memory;
}

TEST_F(Win32Window, LinksBothWaysLeavesHitTestsToTheSystemTakesDropsAndDropsTheInputMethod) {
    Recorder w(nullptr, WS_POPUP, WS_EX_ACCEPTFILES);
    HWND hwnd = hwndOf(w);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(static_cast<void*>(hwnd), w.handle());
    EXPECT_EQ(windowOf(hwnd), &w);
    EXPECT_EQ(windowOf(GetDesktopWindow()), nullptr);
    // The hit test's answer HTTRANSPARENT equals NotHandled: the system answers it alone.
    std::vector<UINT> seen;
    w.message = [&](std::uint32_t msg, WParam, LParam) {
        seen.push_back(msg);
        return NotHandled;
    };
    w.moveTo(50, 60);
    w.setClientSize(40, 30);
    w.show();
    EXPECT_EQ(SendMessageW(hwnd, WM_NCHITTEST, 0, MAKELPARAM(60, 70)), HTCLIENT);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT(WM_NCHITTEST)), 0);
    EXPECT_EQ(w.sendMessage(WM_SETTEXT, 0, reinterpret_cast<LParam>(L"x")), TRUE);
    EXPECT_EQ(w.title(), L"x");  // unhandled messages get the system's processing
    const std::wstring first = L"C:\\data\\a.txt", second = L"C:\\data\\メモ 2.dat";
    SendMessageW(hwnd, WM_DROPFILES, WPARAM(dropOf(first + L'\0' + second + L'\0')), 0);
    EXPECT_TRUE(w.has("drop 2"));
    w.dropResult = 0;  // a drop the handler takes leaves the queue as it was
    SendMessageW(hwnd, WM_DROPFILES, WPARAM(dropOf(std::wstring(L"C:\\b") + L'\0')), 0);
    EXPECT_TRUE(w.has("drop 1"));
    EXPECT_EQ(w.droppedFiles(), (std::deque<std::wstring>{first, second}));
    HIMC before = ImmGetContext(hwnd);
    ASSERT_NE(before, nullptr);
    ImmReleaseContext(hwnd, before);
    w.disableIme();
    EXPECT_EQ(ImmGetContext(hwnd), nullptr);
    w.destroy();
    EXPECT_EQ(hwndOf(w), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT(WM_NCDESTROY)), 1);
}

TEST_F(Win32Window, CursorFilesKeepTheirHotSpotOtherImagesLoadAndMissingFilesGiveNone) {
    auto path = [](const char* name) { return kiro::io::fromUtf8(tavi::test::dataPath(name)); };
    auto hotSpot = [](const Cursor& c) {
        ICONINFO info = {};
        GetIconInfo(static_cast<HICON>(hcursorOf(c)), &info);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        return XY(int(info.xHotspot), int(info.yHotspot));
    };
    auto dot = Cursor::fromFile(path("ui\\dot.cur"));
    auto picture = Cursor::fromFile(path("ui/figure.png"));
    ASSERT_TRUE(dot && picture);
    EXPECT_EQ(hotSpot(*dot), XY(5, 7));  // as the file says
    EXPECT_EQ(hotSpot(*picture), XY(0, 0));
    EXPECT_EQ(Cursor::fromFile(path("ui/missing.cur")), nullptr);
    EXPECT_EQ(Cursor::fromFile(path("ui")), nullptr);
    setCursor(dot.get());
    EXPECT_EQ(GetCursor(), hcursorOf(*dot));
    setCursor(nullptr);
    EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(Win32Window, DrawToCopiesTheCanvasOntoADeviceContext) {
    Canvas c(3, 2);
    c.clear(rgb(0, 0, 255));
    c.setColor(rgb(255, 0, 0), 255);
    c.drawRect(Rect{0, 0, 1, 1}, true, 0);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -4, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP target = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, target);
    drawTo(c, dc, 2, 1);
    GdiFlush();
    std::vector<std::uint32_t> got;  // the red corner top-left as drawn, blue, and nothing outside
    for (const auto& [x, y] : {XY(2, 1), XY(3, 1), XY(4, 2), XY(1, 1), XY(2, 3)})
        got.push_back(static_cast<const std::uint32_t*>(bits)[y * 8 + x] & 0xFFFFFF);
    EXPECT_EQ(got, (std::vector<std::uint32_t>{0xFF0000, 0xFF, 0xFF, 0, 0}));
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

}  // namespace kiro::ui
