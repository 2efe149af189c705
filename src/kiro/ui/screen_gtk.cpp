// Linux backend of the desktop facts: the primary monitor's work area and the pointer, from GDK;
// the scroll bars' size from the GTK theme.
#include "kiro/ui/screen.h"

#include <gtk/gtk.h>

#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

namespace {

GdkDisplay* display() {
    if (!gdk_display_get_default()) {
        try {
            ensureGtk();
        } catch (...) {
            return nullptr;
        }
    }
    return gdk_display_get_default();
}

}  // namespace

Rect workArea() {
    GdkDisplay* d = display();
    if (!d) return Rect{0, 0, 0, 0};
    GdkMonitor* m = gdk_display_get_primary_monitor(d);
    if (!m) m = gdk_display_get_monitor(d, 0);
    if (!m) return Rect{0, 0, 0, 0};
    GdkRectangle r;
    gdk_monitor_get_workarea(m, &r);
    return Rect{r.x, r.y, r.x + r.width, r.y + r.height};
}

Point cursorPosition() {
    GdkDisplay* d = display();
    if (!d) return Point{0, 0};
    GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(d));
    int x = 0, y = 0;
    gdk_device_get_position(pointer, nullptr, &x, &y);
    return Point{x, y};
}

Size scrollBarSize() {
    if (!display()) return Size{0, 0};
    // A scroll bar's natural thickness under the current theme (the widget is never shown).
    auto thickness = [](GtkOrientation orientation) {
        GtkWidget* bar = g_object_ref_sink(gtk_scrollbar_new(orientation, nullptr));
        int minimum = 0, natural = 0;
        if (orientation == GTK_ORIENTATION_VERTICAL)
            gtk_widget_get_preferred_width(bar, &minimum, &natural);
        else
            gtk_widget_get_preferred_height(bar, &minimum, &natural);
        gtk_widget_destroy(bar);
        g_object_unref(bar);
        return natural;
    };
    return Size{thickness(GTK_ORIENTATION_VERTICAL), thickness(GTK_ORIENTATION_HORIZONTAL)};
}

}  // namespace kiro::ui
