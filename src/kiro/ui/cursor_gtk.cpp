// Linux backend of cursors: gdk-pixbuf reads cursor files with their hot spot; GDK shows them
// on the client area of the window that asked.
#include "kiro/ui/cursor.h"

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <gtk/gtk.h>

#include <algorithm>
#include <cstdlib>

#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"

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

std::unique_ptr<Cursor::Native> named(const char* name, GdkCursorType fallback) {
    ensureGtk();
    auto n = std::make_unique<Cursor::Native>();
    GdkDisplay* display = gdk_display_get_default();
    n->cursor = gdk_cursor_new_from_name(display, name);
    if (!n->cursor) n->cursor = gdk_cursor_new_for_display(display, fallback);
    return n;
}

}  // namespace

Cursor::Cursor(std::unique_ptr<Native> native) : native_(std::move(native)) {}
Cursor::~Cursor() = default;

std::unique_ptr<Cursor> Cursor::fromFile(const std::wstring& path) {
    ensureGtk();
    std::wstring native = path;
    for (wchar_t& c : native)
        if (c == L'\\') c = L'/';
    GdkPixbuf* pixbuf = gdk_pixbuf_new_from_file(gtk::utf8(native).c_str(), nullptr);
    if (!pixbuf) return nullptr;
    auto n = std::make_unique<Native>();
    const int w = gdk_pixbuf_get_width(pixbuf), h = gdk_pixbuf_get_height(pixbuf);
    const int x = std::min(std::max(0, hotSpot(pixbuf, "x_hot")), w - 1);
    const int y = std::min(std::max(0, hotSpot(pixbuf, "y_hot")), h - 1);
    n->cursor = gdk_cursor_new_from_pixbuf(gdk_display_get_default(), pixbuf, x, y);
    g_object_unref(pixbuf);
    if (!n->cursor) return nullptr;
    return std::unique_ptr<Cursor>(new Cursor(std::move(n)));
}

const Cursor& Cursor::hand() {
    static const Cursor cursor(named("pointer", GDK_HAND2));
    return cursor;
}

const Cursor& Cursor::arrow() {
    static const Cursor cursor(named("default", GDK_LEFT_PTR));
    return cursor;
}

GdkCursor* gdkCursor(const Cursor& cursor) { return cursor.native()->cursor; }

void setCursor(const Cursor* cursor) {
    Window* window = cursorWindow();
    if (!window || !window->native() || !window->native()->client) return;
    GdkWindow* gw = gtk_widget_get_window(window->native()->client);
    if (!gw) return;
    if (cursor) {
        gdk_window_set_cursor(gw, cursor->native()->cursor);
        return;
    }
    GdkCursor* blank = gdk_cursor_new_for_display(gdk_window_get_display(gw), GDK_BLANK_CURSOR);
    gdk_window_set_cursor(gw, blank);
    g_object_unref(blank);
}

}  // namespace kiro::ui
