// Linux backend of presentation: what a window shows of the last canvas put on it. Layered
// windows use an RGBA visual; their input shape (and, without a compositor, their window shape)
// follows the canvas's alpha.
#include <algorithm>
#include <cstring>
#include <vector>

#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

namespace {

bool isComposited() {
    GdkScreen* screen = gdk_screen_get_default();
    return screen && gdk_screen_is_composited(screen);
}

// The pixels whose alpha is at least threshold, as a region (one rectangle per run of a row).
cairo_region_t* alphaRegion(cairo_surface_t* surface, int threshold) {
    if (!surface) return cairo_region_create();
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<cairo_rectangle_int_t> runs;
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * stride);
        int x = 0;
        while (x < w) {
            while (x < w && int(row[x] >> 24) < threshold) ++x;
            const int start = x;
            while (x < w && int(row[x] >> 24) >= threshold) ++x;
            if (x > start) runs.push_back({start, y, x - start, 1});
        }
    }
    return cairo_region_create_rectangles(runs.data(), int(runs.size()));
}

// Without a compositor the server shows the stored colour values as they are: undo the
// premultiplication so the visible pixels keep their colours instead of darkening.
cairo_surface_t* straightCopy(cairo_surface_t* surface) {
    const int w = cairo_image_surface_get_width(surface);
    const int h = cairo_image_surface_get_height(surface);
    cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_surface_flush(surface);
    const int sstride = cairo_image_surface_get_stride(surface);
    const int dstride = cairo_image_surface_get_stride(out);
    const unsigned char* src = cairo_image_surface_get_data(surface);
    unsigned char* dst = cairo_image_surface_get_data(out);
    for (int y = 0; y < h; ++y) {
        const auto* s = reinterpret_cast<const std::uint32_t*>(src + std::size_t(y) * sstride);
        auto* d = reinterpret_cast<std::uint32_t*>(dst + std::size_t(y) * dstride);
        for (int x = 0; x < w; ++x) {
            const std::uint32_t p = s[x];
            const std::uint32_t a = p >> 24;
            if (a == 0) {
                d[x] = 0;
                continue;
            }
            auto un = [a](std::uint32_t c) { return std::min<std::uint32_t>(255, (c * 255 + a / 2) / a); };
            d[x] = 0xFF000000u | (un((p >> 16) & 0xFF) << 16) | (un((p >> 8) & 0xFF) << 8) |
                   un(p & 0xFF);
        }
    }
    cairo_surface_mark_dirty(out);
    return out;
}

}  // namespace

// Shapes of a layered window follow its alpha: transparent pixels never take the mouse, and
// without a compositor the window is cut to its visible pixels.
void updateLayered(Window::Native& n) {
    if (n.shown) cairo_surface_destroy(n.shown);
    n.shown = nullptr;
    cairo_region_t* input = alphaRegion(n.presented, 1);
    cairo_region_translate(input, 0, clientTop(n));
    gtk_widget_input_shape_combine_region(n.toplevel, input);
    cairo_region_destroy(input);
    if (isComposited()) {
        gtk_widget_shape_combine_region(n.toplevel, nullptr);
    } else {
        cairo_region_t* visible = alphaRegion(n.presented, 128);
        cairo_region_translate(visible, 0, clientTop(n));
        gtk_widget_shape_combine_region(n.toplevel, visible);
        cairo_region_destroy(visible);
        if (n.presented) n.shown = straightCopy(n.presented);
    }
    gtk_widget_queue_draw(n.client);
}

namespace {

void onCompositedChanged(GdkScreen*, gpointer) {
    GList* tops = gtk_window_list_toplevels();
    for (GList* l = tops; l; l = l->next) {
        Window* w = windowOfToplevel(GTK_WIDGET(l->data));
        if (w && w->native() && w->native()->layered) updateLayered(*w->native());
    }
    g_list_free(tops);
}

}  // namespace

void watchCompositing(GdkScreen* screen) {
    static const bool watching = [screen] {
        g_signal_connect(screen, "composited-changed", G_CALLBACK(onCompositedChanged), nullptr);
        return true;
    }();
    (void)watching;
}

gboolean drawClient(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* self = static_cast<Window*>(data);
    Window::Native* n = self->native();
    if (!n) return FALSE;
    if (n->layered) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        cairo_surface_t* s = n->shown ? n->shown : n->presented;
        if (s) {
            cairo_set_source_surface(cr, s, 0, 0);
            cairo_paint(cr);
        } else {
            cairo_set_source_rgba(cr, 0, 0, 0, 0);
            cairo_paint(cr);
        }
        return FALSE;
    }
    // An ordinary window: white background; the canvas without its alpha.
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    if (n->presented) {
        const int w = cairo_image_surface_get_width(n->presented);
        const int h = cairo_image_surface_get_height(n->presented);
        cairo_rectangle(cr, n->presentX, n->presentY, w, h);
        cairo_set_source_rgb(cr, 0, 0, 0);
        cairo_fill(cr);
        cairo_set_source_surface(cr, n->presented, n->presentX, n->presentY);
        cairo_paint(cr);
    }
    return FALSE;
}

namespace {

// Whether two image surfaces hold the same pixels.
bool samePixels(cairo_surface_t* a, cairo_surface_t* b) {
    const int w = cairo_image_surface_get_width(a);
    const int h = cairo_image_surface_get_height(a);
    if (cairo_image_surface_get_format(a) != CAIRO_FORMAT_ARGB32 ||
        cairo_image_surface_get_format(b) != CAIRO_FORMAT_ARGB32 || w != cairo_image_surface_get_width(b) ||
        h != cairo_image_surface_get_height(b))
        return false;
    cairo_surface_flush(a);
    cairo_surface_flush(b);
    const int sa = cairo_image_surface_get_stride(a);
    const int sb = cairo_image_surface_get_stride(b);
    const unsigned char* pa = cairo_image_surface_get_data(a);
    const unsigned char* pb = cairo_image_surface_get_data(b);
    if (!pa || !pb) return false;
    for (int y = 0; y < h; ++y) {
        if (std::memcmp(pa + std::size_t(y) * sa, pb + std::size_t(y) * sb, std::size_t(w) * 4) != 0) return false;
    }
    return true;
}

}  // namespace

void presentSurface(WindowHandle handle, cairo_surface_t* surface, int x, int y) {
    Window* w = windowOfToplevel(static_cast<GtkWidget*>(handle));
    if (!w || !surface) return;
    Window::Native& n = *w->native();
    const int sw = cairo_image_surface_get_width(surface);
    const int sh = cairo_image_surface_get_height(surface);
    // The same picture at the same place again (a character's motion often draws the frame
    // it already shows): nothing on the screen changes, so no shapes or pixels are sent.
    if (n.presented && n.presentX == x && n.presentY == y && samePixels(surface, n.presented) &&
        (!n.layered || (sw == n.w && sh == n.h)))
        return;
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    if (n.presented) cairo_surface_destroy(n.presented);
    n.presented = copy;
    n.presentX = x;
    n.presentY = y;
    if (n.layered) {
        // The layered window takes the canvas's size and keeps its top-left corner.
        if (sw != n.w || sh != n.h)
            applyGeometry(*w, 0, 0, sw, sh, swp::NoMove | swp::NoZOrder | swp::NoActivate);
        if (w->native() && n.toplevel) updateLayered(n);
        return;
    }
    gtk_widget_queue_draw(n.client);
}

}  // namespace kiro::ui
