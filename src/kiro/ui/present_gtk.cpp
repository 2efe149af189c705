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

namespace {

constexpr size_t RecentPictures = 3;

void freePicture(LayeredPicture& p) {
    if (p.pixels) cairo_surface_destroy(p.pixels);
    if (p.input) cairo_region_destroy(p.input);
    if (p.visible) cairo_region_destroy(p.visible);
    if (p.straight) cairo_surface_destroy(p.straight);
    p = LayeredPicture{};
}

LayeredPicture* recentOf(Window::Native& n, cairo_surface_t* pixels) {
    for (LayeredPicture& p : n.recent)
        if (p.pixels == pixels) return &p;
    return nullptr;
}

void paintLayered(const Window::Native& n, cairo_t* cr) {
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_surface_t* s = n.shown ? n.shown : n.presented;
    if (s) {
        cairo_set_source_surface(cr, s, 0, 0);
    } else {
        cairo_set_source_rgba(cr, 0, 0, 0, 0);
    }
    cairo_paint(cr);
}

// Draws a changed part of a shown layered window at once, rather than through the toolkit's
// next frame: a character's blink then costs one short drawing and no frame cycle. Only for a
// picture of the same shapes: a new shape takes effect with the toolkit's next frame. False
// when the window cannot be drawn on now.
bool drawNow(Window::Native& n, const cairo_rectangle_int_t& area) {
    GdkWindow* top = gtk_widget_get_window(n.toplevel);
    int x = 0, y = 0;
    if (!top || !gdk_window_is_viewable(top) || !gtk_widget_get_mapped(n.client) ||
        !gtk_widget_translate_coordinates(n.client, n.toplevel, 0, 0, &x, &y))
        return false;
    const cairo_rectangle_int_t onTop{area.x + x, area.y + y, area.width, area.height};
    cairo_region_t* region = cairo_region_create_rectangle(&onTop);
    GdkDrawingContext* context = gdk_window_begin_draw_frame(top, region);
    cairo_t* cr = gdk_drawing_context_get_cairo_context(context);
    cairo_translate(cr, x, y);
    paintLayered(n, cr);
    gdk_window_end_draw_frame(top, context);
    cairo_region_destroy(region);
    return true;
}

// A region of the client area (null: all of it) given to the window as its input or visible
// shape, unless the window has that shape already.
bool applyShape(Window::Native& n, cairo_region_t* region, bool input) {
    cairo_region_t*& applied = input ? n.inputShape : n.visibleShape;
    if (applied == region || (applied && region && cairo_region_equal(applied, region))) return false;
    if (applied) cairo_region_destroy(applied);
    applied = region ? cairo_region_reference(region) : nullptr;
    cairo_region_t* shape = region ? cairo_region_copy(region) : nullptr;
    if (shape) cairo_region_translate(shape, 0, clientTop(n));
    if (input) {
        gtk_widget_input_shape_combine_region(n.toplevel, shape);
    } else {
        gtk_widget_shape_combine_region(n.toplevel, shape);
    }
    if (shape) cairo_region_destroy(shape);
    return true;
}

}  // namespace

// Shapes of a layered window follow its alpha: transparent pixels never take the mouse, and
// without a compositor the window is cut to its visible pixels.
void updateLayered(Window::Native& n, const cairo_rectangle_int_t* dirty) {
    if (n.shown) cairo_surface_destroy(n.shown);
    n.shown = nullptr;
    LayeredPicture unkept;
    LayeredPicture* picture = n.presented ? recentOf(n, n.presented) : nullptr;
    if (!picture) picture = &unkept;
    if (!picture->input) picture->input = alphaRegion(n.presented, 1);
    bool reshaped = applyShape(n, picture->input, true);
    if (isComposited()) {
        reshaped = applyShape(n, nullptr, false) || reshaped;
    } else {
        if (!picture->visible) picture->visible = alphaRegion(n.presented, 128);
        reshaped = applyShape(n, picture->visible, false) || reshaped;
        if (n.presented) {
            if (!picture->straight) picture->straight = straightCopy(n.presented);
            n.shown = cairo_surface_reference(picture->straight);
        }
    }
    freePicture(unkept);
    if (!dirty) {
        gtk_widget_queue_draw(n.client);
    } else if (dirty->width > 0 && (reshaped || !drawNow(n, *dirty))) {
        gtk_widget_queue_draw_area(n.client, dirty->x, dirty->y, dirty->width, dirty->height);
    }
}

void forgetPictures(Window::Native& n) {
    for (LayeredPicture& p : n.recent) freePicture(p);
    n.recent.clear();
    if (n.inputShape) cairo_region_destroy(n.inputShape);
    if (n.visibleShape) cairo_region_destroy(n.visibleShape);
    n.inputShape = n.visibleShape = nullptr;
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
        paintLayered(*n, cr);
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

// The smallest rectangle holding every pixel in which two surfaces of one size differ; false
// when they differ in size.
bool changedArea(cairo_surface_t* a, cairo_surface_t* b, cairo_rectangle_int_t& out) {
    const int w = cairo_image_surface_get_width(a);
    const int h = cairo_image_surface_get_height(a);
    if (w != cairo_image_surface_get_width(b) || h != cairo_image_surface_get_height(b)) return false;
    cairo_surface_flush(a);
    cairo_surface_flush(b);
    const int sa = cairo_image_surface_get_stride(a);
    const int sb = cairo_image_surface_get_stride(b);
    const unsigned char* pa = cairo_image_surface_get_data(a);
    const unsigned char* pb = cairo_image_surface_get_data(b);
    if (!pa || !pb) return false;
    int left = w, right = -1, top = h, bottom = -1;
    for (int y = 0; y < h; ++y) {
        const auto* ra = reinterpret_cast<const std::uint32_t*>(pa + std::size_t(y) * sa);
        const auto* rb = reinterpret_cast<const std::uint32_t*>(pb + std::size_t(y) * sb);
        if (std::memcmp(ra, rb, std::size_t(w) * 4) == 0) continue;
        top = std::min(top, y);
        bottom = y;
        for (int x = 0; x < left; ++x)
            if (ra[x] != rb[x]) left = x;
        for (int x = w - 1; x > right; --x)
            if (ra[x] != rb[x]) right = x;
    }
    out = right < 0 ? cairo_rectangle_int_t{0, 0, 0, 0} : cairo_rectangle_int_t{left, top, right - left + 1, bottom - top + 1};
    return true;
}

}  // namespace

namespace {

// The layered window takes the canvas's size and keeps its top-left corner. Only the part
// that differs from the picture before is drawn again when the size stays.
void showLayered(Window& w, Window::Native& n, cairo_surface_t* before, int width, int height) {
    LayeredPicture& now = n.recent.front();
    cairo_rectangle_int_t dirty = now.changed;
    bool partly = before && before == now.after;
    if (!partly && before && width == n.w && height == n.h && changedArea(before, n.presented, dirty)) {
        partly = true;
        now.after = before;
        now.changed = dirty;
    }
    if (width != n.w || height != n.h)
        applyGeometry(w, 0, 0, width, height, swp::NoMove | swp::NoZOrder | swp::NoActivate);
    if (w.native() && n.toplevel) updateLayered(n, partly ? &dirty : nullptr);
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
    if (n.layered) {
        // A picture shown a moment ago comes back (a blink ends): what was made for it is kept.
        for (auto it = n.recent.begin(); it != n.recent.end(); ++it) {
            if (it->pixels == n.presented || !samePixels(surface, it->pixels)) continue;
            const LayeredPicture again = *it;
            n.recent.erase(it);
            n.recent.push_front(again);
            cairo_surface_t* before = n.presented;
            n.presented = cairo_surface_reference(again.pixels);
            n.presentX = x;
            n.presentY = y;
            showLayered(*w, n, before, sw, sh);
            if (before) cairo_surface_destroy(before);
            return;
        }
    }
    cairo_surface_t* copy = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sw, sh);
    cairo_t* cr = cairo_create(copy);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_paint(cr);
    cairo_destroy(cr);
    cairo_surface_t* before = n.presented;
    n.presented = copy;
    n.presentX = x;
    n.presentY = y;
    if (n.layered) {
        n.recent.push_front(LayeredPicture{cairo_surface_reference(copy)});
        while (n.recent.size() > RecentPictures) {
            for (LayeredPicture& p : n.recent)
                if (p.after == n.recent.back().pixels) p.after = nullptr;
            freePicture(n.recent.back());
            n.recent.pop_back();
        }
        showLayered(*w, n, before, sw, sh);
    } else {
        gtk_widget_queue_draw(n.client);
    }
    if (before) cairo_surface_destroy(before);
}

}  // namespace kiro::ui
