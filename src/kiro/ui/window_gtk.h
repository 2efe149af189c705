// Linux backend only: the GTK widgets behind a Window, for other toolkit platform files
// (menus, edit box, boxes) that need a parent or a place to put a child widget.
#pragma once

#include <gtk/gtk.h>

#include "kiro/ui/cursor.h"
#include "kiro/ui/window.h"

namespace kiro::ui {

// The GtkWindow of a Window (null once destroyed).
GtkWidget* gtkToplevel(const Window& window);
// A GtkFixed filling the client area: child widgets go here at client coordinates.
GtkWidget* gtkClientArea(const Window& window);
// The vertical GtkBox inside the GtkWindow: bars (a menu bar) go at its start; the client area
// is its last child and shrinks by their height (reported as a size change).
GtkWidget* gtkFrameBox(const Window& window);
// The Window whose toplevel is widget, or null.
Window* windowOfToplevel(GtkWidget* widget);

// The GDK cursor behind a Cursor.
GdkCursor* gdkCursor(const Cursor& cursor);

}  // namespace kiro::ui
