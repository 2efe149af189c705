// Linux backend of cursors: .cur files decoded by gdk-pixbuf (with their hot spot) into
// GdkCursors, set on the window's GdkWindow.
#include <gtk/gtk.h>

#include <cstdlib>

#include "kiro/io/file.h"
#include "kiro/ui/cursor.h"
#include "kiro/ui/window_gtk.h"

namespace kiro::ui {

struct Cursor::Native {
    GdkCursor* cursor = nullptr;
    ~Native() {
        if (cursor) g_object_unref(cursor);
    }
};

namespace {

int hotSpot(GdkPixbuf* pixbuf, const char* key) {
    const gchar* value = gdk_pixbuf_get_option(pixbuf, key);
    return value ? std::atoi(value) : 0;
}

}  // namespace

Cursor::Cursor(const std::wstring& path) {
    io::BinaryObject bytes(path);
    if (bytes.empty()) return;
    GdkDisplay* display = gdk_display_get_default();
    if (!display) return;
    GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
    bool ok = gdk_pixbuf_loader_write(loader, bytes.data(), bytes.size(), nullptr);
    ok = gdk_pixbuf_loader_close(loader, nullptr) && ok;
    GdkPixbuf* pixbuf = ok ? gdk_pixbuf_loader_get_pixbuf(loader) : nullptr;
    if (pixbuf) {
        auto native = std::make_unique<Native>();
        native->cursor = gdk_cursor_new_from_pixbuf(display, pixbuf, hotSpot(pixbuf, "x_hot"),
                                                    hotSpot(pixbuf, "y_hot"));
        if (native->cursor) native_ = std::move(native);
    }
    g_object_unref(loader);
}

Cursor::~Cursor() = default;

void setCursor(Window& window, const Cursor* cursor) {
    GtkWidget* top = gtkToplevel(window);
    GdkWindow* gdk = top ? gtk_widget_get_window(top) : nullptr;
    if (!gdk) return;
    gdk_window_set_cursor(gdk, cursor && cursor->valid() ? cursor->native()->cursor : nullptr);
}

}  // namespace kiro::ui
