// Linux backend of Canvas: a cairo ARGB32 image surface, pango text layout and gdk-pixbuf image
// decoding. Lines and outlines are drawn through pixel centres, as the system's drawing does.
#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gdk/gdk.h>
#include <pango/pangocairo.h>

#include <cmath>

#include "kiro/ui/canvas.h"
#include "kiro/ui/canvas_rules.h"
#include "kiro/ui/font_gtk.h"
#include "kiro/ui/text_gtk.h"
#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

struct Canvas::Native {
    cairo_surface_t* surface = nullptr;
    cairo_t* cr = nullptr;
    ~Native() { release(); }
    // A surface that could not be made (too large, no memory) is an error surface; setting it
    // as a source would put the target's context in a lasting error state.
    bool ok() const {
        return surface && cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS && cr &&
               cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    }
    void release() {
        if (cr) cairo_destroy(cr);
        if (surface) cairo_surface_destroy(surface);
        cr = nullptr;
        surface = nullptr;
    }
};

namespace {

constexpr double Pi = 3.14159265358979323846;

void setSource(cairo_t* cr, const std::uint8_t* c) {
    cairo_set_source_rgba(cr, c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, c[3] / 255.0);
}

PangoLayout* makeLayout(cairo_t* cr, const Font& font, const std::wstring& text, int width,
                        bool smooth) {
    prepareFonts();
    PangoLayout* layout = pango_cairo_create_layout(cr);
    if (!smooth) {
        cairo_font_options_t* options = cairo_font_options_create();
        cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_NONE);
        cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_FULL);
        pango_cairo_context_set_font_options(pango_layout_get_context(layout), options);
        cairo_font_options_destroy(options);
        pango_layout_context_changed(layout);
    }
    pango_layout_set_font_description(layout, descriptionOf(font));
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
    pango_layout_set_width(layout, width > 0 ? width * PANGO_SCALE : -1);
    const std::string utf8 = gtk::utf8(text);
    pango_layout_set_text(layout, utf8.c_str(), int(utf8.size()));
    return layout;
}

void fillOrStroke(cairo_t* cr, bool fill) {
    if (fill) {
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
    } else {
        cairo_set_line_width(cr, 1.0);
        cairo_stroke(cr);
    }
}

}  // namespace

void Canvas::reset(int width, int height) {
    native_ = std::make_unique<Native>();
    native_->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    native_->cr = cairo_create(native_->surface);
}

Canvas::Canvas(int width, int height) {
    reset(width, height);
    setFont(0);
}

Canvas::Canvas(const void* data, std::size_t size) {
    setFont(0);
    if (!data) {
        reset(0, 0);
        empty_ = true;
        return;
    }
    GdkPixbuf* pixbuf = nullptr;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    const bool ok = size > 0 &&
                    gdk_pixbuf_loader_write(loader, static_cast<const guchar*>(data), size, nullptr) &&
                    gdk_pixbuf_loader_close(loader, nullptr);
    if (!ok) gdk_pixbuf_loader_close(loader, nullptr);
    if (ok) pixbuf = gdk_pixbuf_loader_get_pixbuf(loader);
    if (!pixbuf) {
        // Undecodable data: a canvas that draws nothing and measures 0 by 0.
        reset(0, 0);
        g_object_unref(loader);
        return;
    }
    reset(gdk_pixbuf_get_width(pixbuf), gdk_pixbuf_get_height(pixbuf));
    cairo_save(native_->cr);
    cairo_set_operator(native_->cr, CAIRO_OPERATOR_SOURCE);
    gdk_cairo_set_source_pixbuf(native_->cr, pixbuf, 0, 0);
    cairo_paint(native_->cr);
    cairo_restore(native_->cr);
    g_object_unref(loader);
}

Canvas::~Canvas() = default;

int Canvas::width() const { return cairo_image_surface_get_width(native_->surface); }
int Canvas::height() const { return cairo_image_surface_get_height(native_->surface); }

int Canvas::fontHeight() const {
    prepareFonts();
    PangoContext* context = pango_cairo_create_context(native_->cr);
    PangoFontMetrics* metrics = pango_context_get_metrics(context, descriptionOf(*font_), nullptr);
    const int height = pango_font_metrics_get_height(metrics) / PANGO_SCALE;
    pango_font_metrics_unref(metrics);
    g_object_unref(context);
    return height;
}

void Canvas::setFont(const std::wstring& face, int px) { font_ = std::make_unique<Font>(face, px, false); }

void Canvas::clear() { clear(0, 0, 0, 0); }

void Canvas::clear(Rgb rgb) { clear(redOf(rgb), greenOf(rgb), blueOf(rgb), 255); }

void Canvas::clear(int r, int g, int b, int a) {
    cairo_t* cr = native_->cr;
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    const std::uint8_t c[4] = {std::uint8_t(r), std::uint8_t(g), std::uint8_t(b), std::uint8_t(a)};
    setSource(cr, c);
    cairo_paint(cr);
    cairo_restore(cr);
}

void Canvas::drawText(const std::wstring& text, int x, int y, int width, bool outline) {
    cairo_t* cr = native_->cr;
    PangoLayout* layout = makeLayout(cr, *font_, text, width, smooth_);
    if (outline) {
        const std::uint8_t black[4] = {0, 0, 0, color_[3]};
        setSource(cr, black);
        const int offsets[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
        for (const auto& o : offsets) {
            cairo_move_to(cr, x + o[0], y + o[1]);
            pango_cairo_show_layout(cr, layout);
        }
    }
    setSource(cr, color_);
    cairo_move_to(cr, x, y);
    pango_cairo_show_layout(cr, layout);
    cairo_new_path(cr);
    g_object_unref(layout);
}

void Canvas::drawRect(const Rect& r, bool fill, int corner) {
    cairo_t* cr = native_->cr;
    setSource(cr, color_);
    if (corner <= 0) {
        if (fill)
            cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
        else
            cairo_rectangle(cr, r.left + 0.5, r.top + 0.5, r.right - r.left - 1, r.bottom - r.top - 1);
        fillOrStroke(cr, fill);
        return;
    }
    const double c = corner;
    const double half = c / 2;
    const double L = r.left + 0.5, T = r.top + 0.5, R = r.right - 1 + 0.5, B = r.bottom - 1 + 0.5;
    cairo_new_path(cr);
    cairo_arc(cr, L + half, T + half, half, Pi, 1.5 * Pi);
    cairo_arc(cr, R - c + half, T + half, half, 1.5 * Pi, 2 * Pi);
    cairo_arc(cr, R - c + half, B - c + half, half, 0, 0.5 * Pi);
    cairo_arc(cr, L + half, B - c + half, half, 0.5 * Pi, Pi);
    cairo_close_path(cr);
    fillOrStroke(cr, fill);
}

void Canvas::drawPolygon(const Point* points, int count, bool fill) {
    if (!points || count < 2) return;
    cairo_t* cr = native_->cr;
    setSource(cr, color_);
    cairo_new_path(cr);
    for (int i = 0; i < count; ++i) cairo_line_to(cr, points[i].x + 0.5, points[i].y + 0.5);
    cairo_close_path(cr);
    fillOrStroke(cr, fill);
}

void Canvas::drawLine(int x1, int y1, int x2, int y2) {
    cairo_t* cr = native_->cr;
    setSource(cr, color_);
    cairo_new_path(cr);
    cairo_move_to(cr, x1 + 0.5, y1 + 0.5);
    cairo_line_to(cr, x2 + 0.5, y2 + 0.5);
    fillOrStroke(cr, false);
}

void Canvas::drawCircle(int cx, int cy, int radius, bool fill) {
    cairo_t* cr = native_->cr;
    setSource(cr, color_);
    cairo_new_path(cr);
    cairo_arc(cr, cx + 0.5, cy + 0.5, std::abs(radius), 0, 2 * Pi);
    fillOrStroke(cr, fill);
}

void Canvas::drawOnto(Canvas& target, int x, int y) const { drawOnto(target, x, y, 1.0f); }

void Canvas::drawOnto(Canvas& target, int x, int y, float opacity) const {
    if (&target == this || !native_->ok() || !target.native_->ok()) return;
    const float alpha = clampOpacity(opacity);
    cairo_t* cr = target.native_->cr;
    cairo_save(cr);
    cairo_set_source_surface(cr, native_->surface, x, y);
    cairo_paint_with_alpha(cr, alpha);
    cairo_restore(cr);
}

void Canvas::resize(int width, int height) {
    const int oldWidth = this->width();
    const int oldHeight = this->height();
    if (!resizeTarget(oldWidth, oldHeight, width, height)) return;
    auto next = std::make_unique<Native>();
    next->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    next->cr = cairo_create(next->surface);
    if (oldWidth > 0 && oldHeight > 0 && native_->ok() && next->ok()) {
        cairo_t* cr = next->cr;
        cairo_save(cr);
        cairo_scale(cr, double(width) / oldWidth, double(height) / oldHeight);
        cairo_set_source_surface(cr, native_->surface, 0, 0);
        cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
        cairo_rectangle(cr, 0, 0, oldWidth, oldHeight);
        cairo_fill(cr);
        cairo_restore(cr);
    }
    if (!smooth_) cairo_set_antialias(next->cr, CAIRO_ANTIALIAS_NONE);
    native_ = std::move(next);
}

void Canvas::setSmooth(bool smooth) {
    if (smooth) return;
    smooth_ = false;
    cairo_set_antialias(native_->cr, CAIRO_ANTIALIAS_NONE);
}

int Canvas::measureText(const std::wstring& text, Size* out, int maxWidth) const {
    PangoLayout* layout = makeLayout(native_->cr, *font_, text, maxWidth > 0 ? maxWidth : LayoutLimit, smooth_);
    PangoRectangle logical;
    pango_layout_get_extents(layout, nullptr, &logical);
    g_object_unref(layout);
    const int w = std::min(LayoutLimit, (logical.x + logical.width) / PANGO_SCALE);
    const int h = std::min(LayoutLimit, (logical.y + logical.height) / PANGO_SCALE);
    if (out) *out = Size{w, h};
    return w;
}

void Canvas::measureCharacter(const std::wstring& text, int index, Rect* out, int maxWidth) const {
    if (!out) return;
    *out = Rect{0, 0, 0, 0};
    if (index < 0 || std::size_t(index) >= text.size()) return;
    PangoLayout* layout = makeLayout(native_->cr, *font_, text, maxWidth > 0 ? maxWidth : LayoutLimit, smooth_);
    // The layout holds one character per wchar_t (gtk::utf8), so the index's byte offset is
    // the length of the text before it.
    const int byteIndex = int(gtk::utf8(text.substr(0, std::size_t(index))).size());
    PangoRectangle pos;
    pango_layout_index_to_pos(layout, byteIndex, &pos);
    g_object_unref(layout);
    // A right-to-left glyph reports a negative width.
    const int left = std::min(pos.x, pos.x + pos.width);
    const int right = std::max(pos.x, pos.x + pos.width);
    *out = Rect{left / PANGO_SCALE, pos.y / PANGO_SCALE, right / PANGO_SCALE, (pos.y + pos.height) / PANGO_SCALE};
}

void Canvas::present(WindowHandle window, int x, int y) const {
    if (!native_->ok()) return;
    cairo_surface_flush(native_->surface);
    presentSurface(window, native_->surface, x, y);
}

std::uint32_t Canvas::pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= width() || y >= height()) return 0;
    cairo_surface_flush(native_->surface);
    const unsigned char* data = cairo_image_surface_get_data(native_->surface);
    const int stride = cairo_image_surface_get_stride(native_->surface);
    const std::uint32_t p = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride)[x];
    const std::uint32_t a = p >> 24;
    if (a == 0) return 0;
    auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
    return (a << 24) | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) | un(p & 0xFF);
}

}  // namespace kiro::ui
