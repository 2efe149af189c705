// Windows backend of presentation: a canvas put on a window. Implements Canvas::present (a
// layered window takes the pixels with their alpha through UpdateLayeredWindow, and the
// canvas's size; another window gets them without alpha) and drawTo (StretchDIBits).
#include <cstring>
#include <vector>

#include "kiro/ui/canvas_win32.h"

namespace kiro::ui {

namespace {

void presentLayered(HWND hwnd, Gdiplus::Bitmap& bitmap) {
    HBITMAP pixels = nullptr;
    if (bitmap.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &pixels) != Gdiplus::Ok || !pixels) return;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(memory, pixels);
    SIZE size = {LONG(bitmap.GetWidth()), LONG(bitmap.GetHeight())};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    // No new position: the window keeps its top-left corner and takes the canvas's size.
    UpdateLayeredWindow(hwnd, screen, nullptr, &size, memory, &origin, 0, &blend, ULW_ALPHA);
    SelectObject(memory, previous);
    DeleteObject(pixels);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

}  // namespace

void Canvas::present(WindowHandle window, int x, int y) const {
    auto hwnd = static_cast<HWND>(window);
    if (!hwnd || !native_->bitmap) return;
    if (GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) {
        presentLayered(hwnd, *native_->bitmap);
        return;
    }
    HDC dc = GetDC(hwnd);
    drawTo(*this, dc, x, y);
    ReleaseDC(hwnd, dc);
}

void drawTo(const Canvas& canvas, HDC dc, int x, int y) {
    Gdiplus::Bitmap* bitmap = canvas.native()->bitmap.get();
    if (!bitmap) return;
    const INT w = INT(bitmap->GetWidth()), h = INT(bitmap->GetHeight());
    const Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData data = {};
    if (bitmap->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat24bppRGB, &data) != Gdiplus::Ok) return;
    // GDI reads DWORD-aligned rows; copy them if the lock gave another spacing.
    const INT stride = (w * 3 + 3) & ~3;
    const void* rows = data.Scan0;
    std::vector<BYTE> aligned;
    if (data.Stride != stride) {
        aligned.resize(std::size_t(stride) * std::size_t(h));
        for (INT row = 0; row < h; ++row)
            std::memcpy(&aligned[std::size_t(row) * std::size_t(stride)],
                        static_cast<const BYTE*>(data.Scan0) + std::ptrdiff_t(row) * data.Stride, std::size_t(w) * 3);
        rows = aligned.data();
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    StretchDIBits(dc, x, y, w, h, 0, 0, w, h, rows, &info, DIB_RGB_COLORS, SRCCOPY);
    bitmap->UnlockBits(&data);
}

}  // namespace kiro::ui
