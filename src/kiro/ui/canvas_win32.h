// Windows backend only: the GDI+ objects behind a Canvas and a Font, for the Win32 files that
// draw or present them.
#pragma once

#include "kiro/ui/canvas.h"
#include "kiro/ui/toolkit_win32.h"

namespace kiro::ui {

struct Canvas::Native {
    // The pixels: 32-bit ARGB, straight (not premultiplied) alpha. Null for a canvas made from
    // no data or from data that could not be decoded (0 by 0; drawing on it does nothing).
    std::unique_ptr<Gdiplus::Bitmap> bitmap;
    // The drawing context on bitmap (null with it); destroyed before the bitmap.
    std::unique_ptr<Gdiplus::Graphics> graphics;
    ~Native() { graphics.reset(); }
};

struct Font::Native {
    // The family found for the face (private collection, installed fonts, a stand-in).
    std::unique_ptr<Gdiplus::FontFamily> family;
    // The font: em size in pixels, regular or bold.
    std::unique_ptr<Gdiplus::Font> font;
};

// Copies the canvas's pixels without alpha onto a device context at (x, y) (StretchDIBits).
void drawTo(const Canvas& canvas, HDC dc, int x, int y);

}  // namespace kiro::ui
