// Linux backend only: the GTK state of one Window, shared by the window's platform files
// (window_gtk.cpp: life, geometry, painting; window_events_gtk.cpp: input and notifications).
#pragma once

#include <gtk/gtk.h>

#include <deque>
#include <list>
#include <map>
#include <string>
#include <vector>

#include "kiro/ui/text_gtk.h"
#include "kiro/ui/window.h"

namespace kiro::ui {

struct PostedMessage {
    Window* window;
    std::uint32_t msg;
    WParam wParam;
    LParam lParam;
    guint source = 0;
};

// A picture recently presented on a layered window, with what presenting it needs: the input
// shape and, without a compositor, the visible shape and the straight colours (made when
// first needed). A character's motion returns to the same few pictures over and over.
struct LayeredPicture {
    cairo_surface_t* pixels = nullptr;
    cairo_region_t* input = nullptr;
    cairo_region_t* visible = nullptr;
    cairo_surface_t* straight = nullptr;
    // The part that differs from the picture shown before it, when that was `after`.
    cairo_surface_t* after = nullptr;  // not a reference: only compared
    cairo_rectangle_int_t changed{0, 0, 0, 0};
};

struct Window::Native {
    Window* self = nullptr;
    GtkWidget* toplevel = nullptr;  // GtkWindow
    GtkWidget* frame = nullptr;     // vertical GtkBox: optional bars, then the client area
    GtkWidget* client = nullptr;    // GtkFixed with its own GdkWindow: drawing and mouse input
    bool layered = false;
    bool destroying = false;
    std::wstring title;

    // Geometry as last requested or reported: client origin on the screen and client size;
    // frame insets of the window manager's decoration.
    int x = 0;
    int y = 0;
    int w = 320;
    int h = 240;
    Rect insets{0, 0, 0, 0};
    std::deque<Rect> pendingGeometry;  // requested (x, y, w, h) not yet confirmed by the server

    bool visible = false;
    bool noActivate = false;
    bool topmost = false;
    guint paintSource = 0;

    // The last canvas put on the window (a private copy), and what is shown of it. Each holds
    // its own reference.
    cairo_surface_t* presented = nullptr;
    cairo_surface_t* shown = nullptr;  // layered without compositor: straight colours
    int presentX = 0;
    int presentY = 0;
    std::deque<LayeredPicture> recent;  // layered: newest first
    // The shapes last given to the window (references), so an unchanged shape is not sent again.
    cairo_region_t* inputShape = nullptr;
    cairo_region_t* visibleShape = nullptr;  // null: the whole window

    std::map<std::uint32_t, guint> timers;
    std::list<PostedMessage*> posted;

    bool tracking = false;  // the pointer's entry has been reported
    bool dragging = false;
    double dragRootX = 0;
    double dragRootY = 0;
    int dragWindowX = 0;
    int dragWindowY = 0;
    WParam dragWParam = 0;
    LParam dragLParam = 0;

    gulong clipboardHandler = 0;
    std::vector<std::wstring> drop;
};

// Internal helpers of the Linux window backend.
// Starts GTK on the X11 backend if nobody has yet (fonts are set up first).
void ensureGtk();
// Height of what stands above the client area inside the window (menu bar).
int clientTop(const Window::Native& n);
// What stands above the client area: the window manager's frame and any bar.
inline int insetTop(const Window::Native& n) { return n.insets.top + clientTop(n); }
// Moves and sizes the client area, with the position-changing/-changed messages.
void applyGeometry(Window& window, int x, int y, int w, int h, std::uint32_t flags);
void connectEvents(Window& window);
void forgetWindow(const Window* window);  // drops the window from the event state
// The window answering the cursor question, or the one that asked last (null if destroyed).
Window* cursorWindow();
std::uint32_t virtualKeyOf(const GdkEventKey* event);
// Presentation (present_gtk.cpp): the client area's draw handler, the shapes of a layered
// window after a new canvas, the watch on the compositing manager coming and going.
gboolean drawClient(GtkWidget* widget, cairo_t* cr, gpointer window);
// dirty, when given, is the part of the client area whose pixels changed.
void updateLayered(Window::Native& n, const cairo_rectangle_int_t* dirty = nullptr);
void forgetPictures(Window::Native& n);  // drops the recent pictures of a layered window
void watchCompositing(GdkScreen* screen);
// Called by Canvas::present.
void presentSurface(WindowHandle handle, cairo_surface_t* surface, int x, int y);

}  // namespace kiro::ui
