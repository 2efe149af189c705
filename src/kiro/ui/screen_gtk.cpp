// Linux backend of the desktop facts: the primary monitor's work area and the pointer, from GDK.
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

}  // namespace kiro::ui
