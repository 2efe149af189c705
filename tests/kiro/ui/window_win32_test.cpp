// The Win32 backend's own cases: the window class and its links, what the procedure answers
// itself, dropped files, the input method, and pixels put on the screen or a device context.
#include <windows.h>

#include <imm.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "kiro/ui/canvas_win32.h"
#include "kiro/ui/window_win32.h"
#include "support/cases.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

using test::Recorder;

// A drop of these paths as the shell hands it to a window.
HGLOBAL dropOf(const std::wstring& zeroSeparated) {
    const std::size_t bytes = (zeroSeparated.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(drop + 1, zeroSeparated.c_str(), bytes);
    GlobalUnlock(memory);
    return memory;
}

COLORREF screenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF c = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return c;
}

TEST(Win32Window, SharesOneClassLinksBothWaysAndLetsTheSystemAnswerHitTests) {
    Recorder w(nullptr, WS_POPUP);
    HWND hwnd = hwndOf(w);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(static_cast<void*>(hwnd), w.handle());
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    EXPECT_STREQ(name, L"a47d03b2-91e6-4c5f-8b27-e6f0193d4ac1");
    EXPECT_EQ(windowOf(hwnd), &w);
    EXPECT_EQ(windowOf(GetDesktopWindow()), nullptr);
    // The hit test's answer HTTRANSPARENT equals NotHandled: the system answers it alone.
    std::vector<UINT> seen;
    w.message = [&](std::uint32_t msg, WParam, LParam) -> LResult {
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
    w.destroy();
    EXPECT_EQ(hwndOf(w), nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(std::count(seen.begin(), seen.end(), UINT(WM_NCDESTROY)), 1);
}

TEST(Win32Window, DroppedFilesReachTheHandlerOrWaitInTheQueue) {
    Recorder w(nullptr, WS_POPUP, WS_EX_ACCEPTFILES);
    const std::wstring first = L"C:\\data\\a.txt", second = L"C:\\data\\メモ 2.dat";
    SendMessageW(hwndOf(w), WM_DROPFILES, WPARAM(dropOf(first + L'\0' + second + L'\0')), 0);
    ASSERT_TRUE(w.has("drop 2"));
    ASSERT_EQ(w.droppedFiles().size(), 2u);
    EXPECT_EQ(w.droppedFiles()[0], first);
    EXPECT_EQ(w.droppedFiles()[1], second);
    // A drop the handler takes leaves the queue as it was.
    w.dropResult = 0;
    SendMessageW(hwndOf(w), WM_DROPFILES, WPARAM(dropOf(std::wstring(L"C:\\b") + L'\0')), 0);
    EXPECT_TRUE(w.has("drop 1"));
    EXPECT_EQ(w.droppedFiles().size(), 2u);
}

TEST(Win32Window, DisabledImeLeavesTheWindowWithoutInputContext) {
    Recorder w(nullptr, WS_POPUP);
    HIMC before = ImmGetContext(hwndOf(w));
    ASSERT_NE(before, nullptr);
    ImmReleaseContext(hwndOf(w), before);
    w.disableIme();
    EXPECT_EQ(ImmGetContext(hwndOf(w)), nullptr);
}

TEST(Win32Canvas, LayeredWindowsShowThePixelsTakeTheCanvasSizeAndRepaintWhenInvalidated) {
    Recorder w(nullptr, WS_POPUP, WS_EX_LAYERED);
    Rgb colour = rgb(200, 30, 40);
    w.painter = [&colour](Canvas& c) {
        c.resize(70, 50);
        c.clear(colour);
    };
    w.moveTo(300, 200);
    w.show();
    ASSERT_TRUE(uitest::waitUntil([&] { return w.has("paint"); }));
    uitest::pump(200);
    Size size{};
    w.clientSize(size);
    EXPECT_EQ(size.cx, 70);
    EXPECT_EQ(size.cy, 50);
    EXPECT_EQ(test::placeOf(w), test::XY(300, 200));
    EXPECT_EQ(screenPixel(335, 225), RGB(200, 30, 40));
    colour = rgb(10, 220, 90);
    w.log.clear();
    w.invalidate();
    w.invalidate();
    ASSERT_TRUE(uitest::waitUntil([&] { return w.has("paint"); }));
    uitest::pump(200);
    EXPECT_EQ(w.count("paint"), 1);
    EXPECT_EQ(screenPixel(335, 225), RGB(10, 220, 90));
}

TEST(Win32Canvas, DrawToCopiesThePixelsWithoutAlphaOntoADeviceContext) {
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
    auto at = [bits](int x, int y) { return static_cast<const std::uint32_t*>(bits)[y * 8 + x] & 0xFFFFFF; };
    EXPECT_EQ(at(2, 1), 0xFF0000u);  // the red corner, top-left as drawn
    EXPECT_EQ(at(3, 1), 0x0000FFu);
    EXPECT_EQ(at(4, 2), 0x0000FFu);
    EXPECT_EQ(at(1, 1), 0u);  // nothing outside
    EXPECT_EQ(at(2, 3), 0u);
    SelectObject(dc, old);
    DeleteObject(target);
    DeleteDC(dc);
}

TEST(Win32Cursor, FilesKeepTheirHotSpotOtherImagesLoadAndMissingFilesGiveNone) {
    auto path = [](const std::string& name) {
        const std::string p = tavi::test::dataPath(name);
        return std::wstring(p.begin(), p.end());
    };
    auto hotSpot = [](const Cursor& c) {
        ICONINFO info = {};
        GetIconInfo(static_cast<HICON>(hcursorOf(c)), &info);
        if (info.hbmMask) DeleteObject(info.hbmMask);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        return test::XY(int(info.xHotspot), int(info.yHotspot));
    };
    auto dot = Cursor::fromFile(path("ui\\dot.cur"));
    ASSERT_NE(dot, nullptr);
    EXPECT_EQ(hotSpot(*dot), test::XY(5, 7));  // as the file says
    auto picture = Cursor::fromFile(path("ui/figure.png"));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(hotSpot(*picture), test::XY(0, 0));
    EXPECT_EQ(Cursor::fromFile(path("ui/missing.cur")), nullptr);
    EXPECT_EQ(Cursor::fromFile(path("ui")), nullptr);
    setCursor(dot.get());
    EXPECT_EQ(GetCursor(), hcursorOf(*dot));
    setCursor(nullptr);
    EXPECT_EQ(GetCursor(), nullptr);
}

}  // namespace
}  // namespace kiro::ui
