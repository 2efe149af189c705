// The toolkit's drawing surface: an off-screen 32-bit image with alpha, a current colour and
// font, text layout and measuring, decoding of image files held in memory, and presentation on
// a window. Fonts are also used by number through a process-wide font table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "kiro/ui/types.h"

namespace kiro::ui {

// A font description made from the font table (face, pixel size, weight).
class Font {
public:
    Font(const std::wstring& face, int px, bool bold);
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;
    const std::wstring& face() const { return face_; }
    int px() const { return px_; }
    bool bold() const { return bold_; }
    struct Native;
    Native* native() const { return native_.get(); }

private:
    std::wstring face_;
    int px_;
    bool bold_;
    std::unique_ptr<Native> native_;
};

class Canvas {
public:
    static constexpr int LayoutLimit = 4096;

    Canvas(int width, int height);  // transparent
    // Decodes an image file (PNG, JPEG, BMP, GIF, ...) with its alpha. Null data gives a 0 by 0
    // canvas that reports isEmpty(); data that cannot be decoded gives a 0 by 0 canvas too.
    Canvas(const void* data, std::size_t size);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int width() const;
    int height() const;
    bool isEmpty() const { return empty_; }
    int fontHeight() const;

    void setColor(int r, int g, int b, int a);
    void setColor(Rgb rgb, int alpha);
    void setFont(const std::wstring& face, int px);
    void setFont(int number);  // an unknown number selects "ＭＳ ゴシック" at 17 pixels
    const Font& font() const { return *font_; }

    void clear();  // transparent
    void clear(Rgb rgb);
    void clear(int r, int g, int b, int a);
    // Text in the box (x, y, width, unbounded height), wrapped at the box width; with outline
    // the text is first drawn in black (with the colour's alpha) one pixel off in four ways.
    void drawText(const std::wstring& text, int x, int y, int width, bool outline);
    // corner > 0 rounds the corners with arcs of that diameter.
    void drawRect(const Rect& r, bool fill, int corner);
    void drawPolygon(const Point* points, int count, bool fill);
    void drawLine(int x1, int y1, int x2, int y2);
    void drawCircle(int cx, int cy, int radius, bool fill);
    void drawOnto(Canvas& target, int x, int y) const;
    void drawOnto(Canvas& target, int x, int y, float opacity) const;  // opacity clamped to 0..1
    void resize(int width, int height);  // 0 for one side keeps the aspect
    void scale(float factor);
    void setSmooth(bool smooth);

    // Lays text out in a box maxWidth wide (0: LayoutLimit) and LayoutLimit high, trailing
    // spaces included; writes the size to out if given and returns the width.
    int measureText(const std::wstring& text, Size* out, int maxWidth) const;
    // The bounds of the character at index in the same layout.
    void measureCharacter(const std::wstring& text, int index, Rect* out, int maxWidth) const;

    // Puts the canvas on a window: a layered window takes the pixels with their alpha and the
    // canvas's size (keeping its top-left corner); another window shows them without alpha at
    // (x, y).
    void present(WindowHandle window, int x, int y) const;

    // The pixel at (x, y) as straight (not premultiplied) 0xAARRGGBB; 0 outside the canvas.
    std::uint32_t pixel(int x, int y) const;

    struct Native;
    Native* native() const { return native_.get(); }

private:
    void reset(int width, int height);
    std::unique_ptr<Native> native_;
    std::unique_ptr<Font> font_;
    std::uint8_t color_[4] = {255, 255, 255, 255};  // r, g, b, a
    bool empty_ = false;
    bool smooth_ = true;
};

// Font registry. addFont loads a font file from memory for this process; with face given, the
// first family of the loaded fonts not handed out before is written to it (once per family).
bool addFont(const void* data, std::size_t size, std::wstring* face);
bool defineFont(int number, const std::wstring& face, int px, bool bold);
bool createFont(int number, std::unique_ptr<Font>& out);

}  // namespace kiro::ui
