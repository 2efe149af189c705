// Windows backend of Canvas on GDI+: a 32-bit ARGB bitmap with a drawing context, text with
// outline, shapes, scaling, blending with opacity, measuring, and decoding of image files held
// in memory (SHCreateMemStream).
// Implements everything canvas.h declares except presentation (present_win32.cpp) and the
// font registry (font_win32.cpp). Decoded images are converted to 32-bit ARGB, whatever format
// the file had, so every canvas can be drawn on.
#include <shlwapi.h>

#include <cstring>
#include <stdexcept>

#include "kiro/ui/canvas_rules.h"
#include "kiro/ui/canvas_win32.h"

namespace kiro::ui {

namespace {

using Gdiplus::Bitmap;
using Gdiplus::Graphics;

constexpr float TextBoxHeight = 65535.0f;

Gdiplus::Color colorOf(const std::uint8_t* c) {
    return Gdiplus::Color(c[3], c[0], c[1], c[2]);
}

void makeHard(Graphics& g) {
    g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
    g.SetTextRenderingHint(Gdiplus::TextRenderingHintSingleBitPerPixelGridFit);
}

// Draws source unscaled (whatever resolution its file gave it) at (x, y) on target.
void drawUnscaled(Graphics& target, Bitmap& source, int x, int y, const Gdiplus::ImageAttributes* attributes) {
    const INT w = INT(source.GetWidth()), h = INT(source.GetHeight());
    target.DrawImage(&source, Gdiplus::Rect(x, y, w, h), 0, 0, w, h, Gdiplus::UnitPixel, attributes);
}

std::unique_ptr<Bitmap> decode(const void* data, std::size_t size) {
    IStream* stream = SHCreateMemStream(static_cast<const BYTE*>(data), UINT(size));
    if (!stream) throw std::runtime_error("SHCreateMemStream");
    auto decoded = std::make_unique<Bitmap>(stream, FALSE);
    stream->Release();
    if (decoded->GetLastStatus() != Gdiplus::Ok) return nullptr;
    const INT w = INT(decoded->GetWidth()), h = INT(decoded->GetHeight());
    auto pixels = std::make_unique<Bitmap>(w, h, PixelFormat32bppARGB);
    if (pixels->GetLastStatus() != Gdiplus::Ok) return nullptr;
    // The file's pixels converted to straight ARGB, row by row: exact, unlike a drawn copy.
    const Gdiplus::Rect all(0, 0, w, h);
    Gdiplus::BitmapData from = {}, to = {};
    if (decoded->LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppARGB, &from) != Gdiplus::Ok) return nullptr;
    if (pixels->LockBits(&all, Gdiplus::ImageLockModeWrite, PixelFormat32bppARGB, &to) == Gdiplus::Ok) {
        for (INT y = 0; y < h; ++y)
            std::memcpy(static_cast<BYTE*>(to.Scan0) + std::ptrdiff_t(y) * to.Stride,
                        static_cast<const BYTE*>(from.Scan0) + std::ptrdiff_t(y) * from.Stride, std::size_t(w) * 4);
        pixels->UnlockBits(&to);
    }
    decoded->UnlockBits(&from);
    return pixels;
}

}  // namespace

void Canvas::reset(int width, int height) {
    toolkit();  // GDI+ runs
    native_ = std::make_unique<Native>();
    if (width <= 0 || height <= 0) return;
    native_->bitmap = std::make_unique<Bitmap>(width, height, PixelFormat32bppARGB);
    if (native_->bitmap->GetLastStatus() != Gdiplus::Ok) {
        native_->bitmap.reset();
        return;
    }
    native_->graphics = std::make_unique<Graphics>(native_->bitmap.get());
    native_->graphics->Clear(Gdiplus::Color(0, 0, 0, 0));
    if (!smooth_) makeHard(*native_->graphics);
}

Canvas::Canvas(int width, int height) {
    reset(width, height);
    setFont(0);
}

Canvas::Canvas(const void* data, std::size_t size) {
    reset(0, 0);
    setFont(0);
    if (!data) {
        empty_ = true;
        return;
    }
    native_->bitmap = decode(data, size);
    if (native_->bitmap) native_->graphics = std::make_unique<Graphics>(native_->bitmap.get());
}

Canvas::~Canvas() = default;

int Canvas::width() const {
    return native_->bitmap ? int(native_->bitmap->GetWidth()) : 0;
}
int Canvas::height() const {
    return native_->bitmap ? int(native_->bitmap->GetHeight()) : 0;
}

int Canvas::fontHeight() const {
    Gdiplus::Font* font = font_->native()->font.get();
    if (native_->graphics) return int(font->GetHeight(native_->graphics.get()));
    // A canvas without pixels still measures against the screen.
    HDC screen = GetDC(nullptr);
    const int height = int(font->GetHeight(Graphics(screen).GetDpiY()));
    ReleaseDC(nullptr, screen);
    return height;
}

void Canvas::setFont(const std::wstring& face, int px) {
    font_ = std::make_unique<Font>(face, px, false);
}

void Canvas::clear() {
    clear(0, 0, 0, 0);
}

void Canvas::clear(Rgb rgb) {
    clear(redOf(rgb), greenOf(rgb), blueOf(rgb), 255);
}

void Canvas::clear(int r, int g, int b, int a) {
    if (native_->graphics) native_->graphics->Clear(Gdiplus::Color(BYTE(a), BYTE(r), BYTE(g), BYTE(b)));
}

void Canvas::drawText(const std::wstring& text, int x, int y, int width, bool outline) {
    Graphics* g = native_->graphics.get();
    if (!g) return;
    const Gdiplus::Font* font = font_->native()->font.get();
    Gdiplus::StringFormat format(0);
    format.SetAlignment(Gdiplus::StringAlignmentNear);
    const INT length = INT(text.size());
    if (outline) {
        Gdiplus::SolidBrush black(Gdiplus::Color(color_[3], 0, 0, 0));
        const int offsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& o : offsets) {
            const Gdiplus::RectF box(float(x + o[0]), float(y + o[1]), float(width), TextBoxHeight);
            g->DrawString(text.c_str(), length, font, box, &format, &black);
        }
    }
    Gdiplus::SolidBrush brush(colorOf(color_));
    g->DrawString(text.c_str(), length, font, Gdiplus::RectF(float(x), float(y), float(width), TextBoxHeight), &format,
                  &brush);
}

void Canvas::drawRect(const Rect& r, bool fill, int corner) {
    Graphics* g = native_->graphics.get();
    if (!g) return;
    Gdiplus::SolidBrush brush(colorOf(color_));
    Gdiplus::Pen pen(colorOf(color_), 1.0f);
    if (corner <= 0) {
        if (fill)
            g->FillRectangle(&brush, r.left, r.top, r.right - r.left, r.bottom - r.top);
        else
            g->DrawRectangle(&pen, r.left, r.top, r.right - r.left - 1, r.bottom - r.top - 1);
        return;
    }
    const INT L = r.left, T = r.top, R = r.right - 1, B = r.bottom - 1;
    Gdiplus::GraphicsPath path;
    path.AddArc(L, T, corner, corner, 180.0f, 90.0f);
    path.AddArc(R - corner, T, corner, corner, 270.0f, 90.0f);
    path.AddArc(R - corner, B - corner, corner, corner, 360.0f, 90.0f);
    path.AddArc(L, B - corner, corner, corner, 450.0f, 90.0f);
    path.CloseFigure();
    if (fill)
        g->FillPath(&brush, &path);
    else
        g->DrawPath(&pen, &path);
}

void Canvas::drawPolygon(const Point* points, int count, bool fill) {
    Graphics* g = native_->graphics.get();
    if (!g || !points || count < 2) return;
    std::unique_ptr<Gdiplus::Point[]> corners(new Gdiplus::Point[std::size_t(count)]);
    for (int i = 0; i < count; ++i) corners[std::size_t(i)] = Gdiplus::Point(points[i].x, points[i].y);
    if (fill) {
        Gdiplus::SolidBrush brush(colorOf(color_));
        g->FillPolygon(&brush, corners.get(), count, Gdiplus::FillModeAlternate);
    } else {
        Gdiplus::Pen pen(colorOf(color_), 1.0f);
        g->DrawPolygon(&pen, corners.get(), count);
    }
}

void Canvas::drawLine(int x1, int y1, int x2, int y2) {
    if (!native_->graphics) return;
    Gdiplus::Pen pen(colorOf(color_), 1.0f);
    native_->graphics->DrawLine(&pen, x1, y1, x2, y2);
}

void Canvas::drawCircle(int cx, int cy, int radius, bool fill) {
    Graphics* g = native_->graphics.get();
    if (!g) return;
    if (fill) {
        Gdiplus::SolidBrush brush(colorOf(color_));
        g->FillEllipse(&brush, cx - radius, cy - radius, 2 * radius, 2 * radius);
    } else {
        Gdiplus::Pen pen(colorOf(color_), 1.0f);
        g->DrawEllipse(&pen, cx - radius, cy - radius, 2 * radius, 2 * radius);
    }
}

void Canvas::drawOnto(Canvas& target, int x, int y) const {
    if (&target == this || !native_->bitmap || !target.native_->bitmap) return;
    Graphics g(target.native_->bitmap.get());
    drawUnscaled(g, *native_->bitmap, x, y, nullptr);
}

void Canvas::drawOnto(Canvas& target, int x, int y, float opacity) const {
    if (&target == this || !native_->bitmap || !target.native_->bitmap) return;
    Gdiplus::ColorMatrix matrix = {};
    for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
    matrix.m[3][3] = clampOpacity(opacity);
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix);
    Graphics g(target.native_->bitmap.get());
    drawUnscaled(g, *native_->bitmap, x, y, &attributes);
}

void Canvas::resize(int width, int height) {
    const int oldWidth = this->width();
    const int oldHeight = this->height();
    if (!resizeTarget(oldWidth, oldHeight, width, height)) return;
    std::unique_ptr<Native> old = std::move(native_);
    reset(width, height);
    if (old->bitmap && native_->graphics)
        native_->graphics->DrawImage(old->bitmap.get(), Gdiplus::Rect(0, 0, width, height), 0, 0, oldWidth, oldHeight,
                                     Gdiplus::UnitPixel);
}

void Canvas::setSmooth(bool smooth) {
    if (smooth) return;
    smooth_ = false;
    if (native_->graphics) makeHard(*native_->graphics);
}

namespace {

// Measuring needs a drawing context; a canvas without pixels lends one from a small bitmap.
struct MeasureContext {
    std::unique_ptr<Bitmap> spare;
    std::unique_ptr<Graphics> own;
    Graphics* g;
    explicit MeasureContext(Graphics* canvas) : g(canvas) {
        if (g) return;
        spare = std::make_unique<Bitmap>(1, 1, PixelFormat32bppARGB);
        own = std::make_unique<Graphics>(spare.get());
        g = own.get();
    }
};

Gdiplus::RectF layoutBox(int maxWidth) {
    return Gdiplus::RectF(0, 0, float(maxWidth > 0 ? maxWidth : Canvas::LayoutLimit), float(Canvas::LayoutLimit));
}

}  // namespace

int Canvas::measureText(const std::wstring& text, Size* out, int maxWidth) const {
    MeasureContext context(native_->graphics.get());
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    Gdiplus::RectF bounds;
    context.g->MeasureString(text.c_str(), INT(text.size()), font_->native()->font.get(), layoutBox(maxWidth), &format,
                             &bounds);
    const int w = int(bounds.Width), h = int(bounds.Height);
    if (out) *out = Size{w, h};
    return w;
}

void Canvas::measureCharacter(const std::wstring& text, int index, Rect* out, int maxWidth) const {
    if (!out) return;
    *out = Rect{0, 0, 0, 0};
    if (index < 0 || std::size_t(index) >= text.size()) return;
    MeasureContext context(native_->graphics.get());
    Gdiplus::StringFormat format(Gdiplus::StringFormatFlagsMeasureTrailingSpaces);
    const Gdiplus::CharacterRange range(index, 1);
    format.SetMeasurableCharacterRanges(1, &range);
    Gdiplus::Region region;
    if (context.g->MeasureCharacterRanges(text.c_str(), INT(text.size()), font_->native()->font.get(),
                                          layoutBox(maxWidth), &format, 1, &region) != Gdiplus::Ok)
        return;
    Gdiplus::RectF r;
    region.GetBounds(&r, context.g);
    *out = Rect{int(r.X), int(r.Y), int(r.X + r.Width), int(r.Y + r.Height)};
}

std::uint32_t Canvas::pixel(int x, int y) const {
    if (!native_->bitmap || x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    Gdiplus::Color c;
    native_->bitmap->GetPixel(x, y, &c);
    return c.GetAlpha() ? std::uint32_t(c.GetValue()) : 0;
}

}  // namespace kiro::ui
