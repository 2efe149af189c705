// Linux backend of Window: turns GDK events (buttons, motion, crossing, wheel, keys, focus,
// configure, delete) into the toolkit's messages, and runs the drag-to-move loop.
#include <algorithm>
#include <cmath>

#include "kiro/ui/window_gtk.h"
#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

namespace {

Window* g_activeWindow = nullptr;  // the window of this process that has the focus, if any
Window* g_cursorWindow = nullptr;  // the window that last asked which cursor to show

std::uint32_t keyStateOf(guint state) {
    std::uint32_t flags = 0;
    if (state & GDK_BUTTON1_MASK) flags |= mk::LButton;
    if (state & GDK_BUTTON3_MASK) flags |= mk::RButton;
    if (state & GDK_BUTTON2_MASK) flags |= mk::MButton;
    if (state & GDK_SHIFT_MASK) flags |= mk::Shift;
    if (state & GDK_CONTROL_MASK) flags |= mk::Control;
    return flags;
}

LParam clientPoint(double x, double y) {
    return makeLParam(int(std::floor(x)), int(std::floor(y)));
}

// Events of the client area itself; events that child widgets pass up are not the window's.
bool isClientEvent(Window* self, GdkWindow* eventWindow) {
    Window::Native* n = self->native();
    return n && n->client && eventWindow == gtk_widget_get_window(n->client);
}

// Cursor question before each mouse message, as the system asks it.
bool askCursor(Window* self, std::uint32_t mouseMsg) {
    g_cursorWindow = self;
    self->dispatch(wm::SetCursor, WParam(self->handle()), makeLParam(ht::Client, int(mouseMsg)));
    return Window::isLive(self) && self->handle();
}

void dragStep(Window* self, double rootX, double rootY) {
    Window::Native& n = *self->native();
    const int left = n.dragWindowX + int(std::lround(rootX - n.dragRootX));
    const int top = n.dragWindowY + int(std::lround(rootY - n.dragRootY));
    Rect r{left, top, left + self->width(), top + self->height()};
    self->dispatch(wm::Moving, 0, reinterpret_cast<LParam>(&r));
    if (!Window::isLive(self) || !self->handle() || !n.dragging) return;
    Point now;
    self->position(now);
    if (now.x != r.left || now.y != r.top) self->moveTo(r.left, r.top);
}

// The release that ends a drag: one button-up, with the press's arguments.
void endDrag(Window* self) {
    Window::Native& n = *self->native();
    if (!n.dragging) return;
    n.dragging = false;
    self->dispatch(wm::CaptureChanged, 0, 0);
    if (!Window::isLive(self) || !self->handle()) return;
    self->dispatch(wm::ExitSizeMove, 0, 0);
    if (!Window::isLive(self) || !self->handle()) return;
    self->dispatch(wm::LButtonUp, n.dragWParam, n.dragLParam);
}

gboolean onButtonPress(GtkWidget*, GdkEventButton* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !isClientEvent(self, e->window)) return FALSE;
    Window::Native& n = *self->native();
    // A double click arrives as a press followed at once by a double-press event: the second
    // press of the pair is reported only as the double click.
    if (e->type == GDK_BUTTON_PRESS) {
        if (GdkEvent* next = gdk_event_peek()) {
            const bool doubled = next->type == GDK_2BUTTON_PRESS && next->button.button == e->button;
            gdk_event_free(next);
            if (doubled) return TRUE;
        }
    } else if (e->type != GDK_2BUTTON_PRESS) {
        return TRUE;
    }
    const bool dbl = e->type == GDK_2BUTTON_PRESS;
    std::uint32_t msg = 0;
    std::uint32_t flags = keyStateOf(e->state);
    switch (e->button) {
    case 1:
        msg = dbl ? wm::LButtonDblClk : wm::LButtonDown;
        flags |= mk::LButton;
        break;
    case 3:
        msg = dbl ? wm::RButtonDblClk : wm::RButtonDown;
        flags |= mk::RButton;
        break;
    case 2:
        msg = wm::MButtonDown;
        flags |= mk::MButton;
        break;
    default:
        return FALSE;
    }
    n.dragRootX = e->x_root;
    n.dragRootY = e->y_root;
    if (!askCursor(self, msg)) return TRUE;
    self->dispatch(msg, flags, clientPoint(e->x, e->y));
    return TRUE;
}

gboolean onButtonRelease(GtkWidget*, GdkEventButton* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !self->native() || !self->native()->client) return FALSE;
    Window::Native& n = *self->native();
    if (n.dragging) {
        if (e->button == 1) endDrag(self);
        return TRUE;
    }
    if (!isClientEvent(self, e->window)) return FALSE;
    std::uint32_t msg = 0;
    switch (e->button) {
    case 1:
        msg = wm::LButtonUp;
        break;
    case 3:
        msg = wm::RButtonUp;
        break;
    case 2:
        msg = wm::MButtonUp;
        break;
    default:
        return FALSE;
    }
    if (!askCursor(self, msg)) return TRUE;
    self->dispatch(msg, keyStateOf(e->state) & ~std::uint32_t(e->button == 1 ? mk::LButton : 0),
                   clientPoint(e->x, e->y));
    return TRUE;
}

gboolean onMotion(GtkWidget*, GdkEventMotion* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !self->native() || !self->native()->client) return FALSE;
    if (self->native()->dragging) {
        dragStep(self, e->x_root, e->y_root);
        gdk_event_request_motions(e);
        return TRUE;
    }
    if (!isClientEvent(self, e->window)) return FALSE;
    if (!askCursor(self, wm::MouseMove)) return TRUE;
    self->dispatch(wm::MouseMove, keyStateOf(e->state), clientPoint(e->x, e->y));
    return TRUE;
}

gboolean onLeave(GtkWidget*, GdkEventCrossing* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !isClientEvent(self, e->window)) return FALSE;
    Window::Native& n = *self->native();
    if (e->mode != GDK_CROSSING_NORMAL || n.dragging) return FALSE;
    if (n.tracking) {
        n.tracking = false;
        self->dispatch(wm::MouseLeave, 0, 0);
    }
    return FALSE;
}

gboolean onGrabBroken(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (Window::isLive(self) && self->native() && self->native()->dragging) endDrag(self);
    return FALSE;
}

gboolean onScroll(GtkWidget*, GdkEventScroll* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !isClientEvent(self, e->window)) return FALSE;
    int delta = 0;
    if (e->direction == GDK_SCROLL_UP) delta = 120;
    else if (e->direction == GDK_SCROLL_DOWN) delta = -120;
    else if (e->direction == GDK_SCROLL_SMOOTH) delta = int(std::lround(-e->delta_y * 120));
    if (delta == 0) return FALSE;
    const WParam w = (WParam(std::uint16_t(std::int16_t(delta))) << 16) | keyStateOf(e->state);
    self->dispatch(wm::MouseWheel, w, makeLParam(int(e->x_root), int(e->y_root)));
    return TRUE;
}

// Keys go to the window only while none of its child widgets (an edit box) has the focus.
bool keyForWindow(Window* self) {
    return Window::isLive(self) && self->handle() &&
           !gtk_window_get_focus(GTK_WINDOW(self->native()->toplevel));
}

std::uint32_t charOf(const GdkEventKey* e) {
    switch (e->keyval) {
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter:
        return 0x0D;
    case GDK_KEY_Escape:
        return 0x1B;
    case GDK_KEY_BackSpace:
        return 0x08;
    case GDK_KEY_Tab:
        return 0x09;
    default:
        break;
    }
    const gunichar c = gdk_keyval_to_unicode(e->keyval);
    if (c && (e->state & GDK_CONTROL_MASK)) {
        const gunichar upper = g_unichar_toupper(c);
        return upper >= '@' && upper <= '_' ? upper - '@' : 0;
    }
    return c;
}

gboolean onKeyPress(GtkWidget*, GdkEventKey* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!keyForWindow(self)) return FALSE;
    const std::uint32_t vkCode = virtualKeyOf(e);
    const bool alt = (e->state & GDK_MOD1_MASK) != 0 || vkCode == vk::Menu;
    const LParam l = LParam(1 | (std::uint32_t(e->hardware_keycode) << 16));
    self->dispatch(alt ? wm::SysKeyDown : wm::KeyDown, vkCode, l);
    if (alt || !keyForWindow(self)) return TRUE;
    const std::uint32_t c = charOf(e);
    if (c > 0xFFFF) {
        // Characters beyond 16 bits come as their two UTF-16 halves, as the system sends them.
        self->dispatch(wm::Char, 0xD800 + ((c - 0x10000) >> 10), l);
        if (keyForWindow(self)) self->dispatch(wm::Char, 0xDC00 + ((c - 0x10000) & 0x3FF), l);
    } else if (c) {
        self->dispatch(wm::Char, c, l);
    }
    return TRUE;
}

gboolean onKeyRelease(GtkWidget*, GdkEventKey* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!keyForWindow(self)) return FALSE;
    const std::uint32_t vkCode = virtualKeyOf(e);
    const bool alt = (e->state & GDK_MOD1_MASK) != 0 || vkCode == vk::Menu;
    self->dispatch(alt ? wm::SysKeyUp : wm::KeyUp, vkCode,
                   LParam(1 | (std::uint32_t(e->hardware_keycode) << 16) | (3u << 30)));
    return TRUE;
}

void broadcastActivateApp(bool active) {
    GList* tops = gtk_window_list_toplevels();
    std::vector<Window*> windows;
    for (GList* l = tops; l; l = l->next)
        if (Window* w = windowOfToplevel(GTK_WIDGET(l->data))) windows.push_back(w);
    g_list_free(tops);
    for (Window* w : windows)
        if (Window::isLive(w) && w->handle()) w->dispatch(wm::ActivateApp, active ? 1 : 0, 0);
}

gboolean checkAppInactive(gpointer) {
    if (!g_activeWindow) broadcastActivateApp(false);
    return G_SOURCE_REMOVE;
}

gboolean onFocusIn(GtkWidget*, GdkEventFocus*, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !self->handle()) return FALSE;
    const bool appWasInactive = g_activeWindow == nullptr;
    g_activeWindow = self;
    if (appWasInactive) broadcastActivateApp(true);
    if (Window::isLive(self) && self->handle()) self->dispatch(wm::Activate, 1, 0);
    if (Window::isLive(self) && self->handle()) self->dispatch(wm::SetFocus, 0, 0);
    return FALSE;
}

gboolean onFocusOut(GtkWidget*, GdkEventFocus*, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !self->handle()) return FALSE;
    if (g_activeWindow == self) {
        g_activeWindow = nullptr;
        g_idle_add(checkAppInactive, nullptr);
    }
    self->dispatch(wm::KillFocus, 0, 0);
    if (Window::isLive(self) && self->handle()) self->dispatch(wm::Activate, 0, 0);
    return FALSE;
}

gboolean onConfigure(GtkWidget*, GdkEventConfigure* e, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !self->handle()) return FALSE;
    Window::Native& n = *self->native();
    if (GdkWindow* gw = gtk_widget_get_window(n.toplevel)) {
        GdkRectangle frame;
        gdk_window_get_frame_extents(gw, &frame);
        int ox = 0, oy = 0;
        gdk_window_get_origin(gw, &ox, &oy);
        n.insets = Rect{ox - frame.x, oy - frame.y,
                        std::max(0, frame.x + frame.width - ox - e->width),
                        std::max(0, frame.y + frame.height - oy - e->height)};
        if (n.insets.left < 0 || n.insets.top < 0) n.insets = Rect{0, 0, 0, 0};
    }
    const Rect now{e->x, e->y + clientTop(n), e->width, e->height - clientTop(n)};
    auto same = [&now](const Rect& r) {
        return r.left == now.left && r.top == now.top && r.right == now.right && r.bottom == now.bottom;
    };
    auto it = std::find_if(n.pendingGeometry.begin(), n.pendingGeometry.end(), same);
    if (it != n.pendingGeometry.end()) {
        // The server confirms a geometry this program asked for: already reported.
        n.pendingGeometry.erase(n.pendingGeometry.begin(), it + 1);
        return FALSE;
    }
    n.pendingGeometry.clear();
    if (now.left == n.x && now.top == n.y && now.right == n.w && now.bottom == n.h) return FALSE;
    std::uint32_t flags = swp::NoZOrder | swp::NoActivate;
    if (now.left == n.x && now.top == n.y) flags |= swp::NoMove;
    if (now.right == n.w && now.bottom == n.h) flags |= swp::NoSize;
    n.x = now.left;
    n.y = now.top;
    n.w = now.right;
    n.h = now.bottom;
    WindowPos pos{n.toplevel, nullptr, n.x - n.insets.left, n.y - insetTop(n),
                  n.w + n.insets.left + n.insets.right, n.h + insetTop(n) + n.insets.bottom, flags};
    self->dispatch(wm::WindowPosChanged, 0, reinterpret_cast<LParam>(&pos));
    return FALSE;
}

// The client area changes size inside an unchanged window when a bar comes or goes.
void onClientAllocate(GtkWidget*, GdkRectangle* a, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (!Window::isLive(self) || !self->handle()) return;
    Window::Native& n = *self->native();
    if (!n.pendingGeometry.empty() || !gtk_widget_get_mapped(n.toplevel)) return;
    if (a->width == n.w && a->height == n.h) return;
    n.w = a->width;
    n.h = a->height;
    WindowPos pos{n.toplevel, nullptr, n.x - n.insets.left, n.y - insetTop(n),
                  n.w + n.insets.left + n.insets.right, n.h + insetTop(n) + n.insets.bottom,
                  swp::NoMove | swp::NoZOrder | swp::NoActivate};
    self->dispatch(wm::WindowPosChanged, 0, reinterpret_cast<LParam>(&pos));
}

// Files dropped from a file manager: their paths, as one drop message.
void onDragDataReceived(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint,
                        guint, gpointer user) {
    auto* self = static_cast<Window*>(user);
    if (!Window::isLive(self) || !self->handle()) return;
    gchar** uris = gtk_selection_data_get_uris(data);
    if (!uris) return;
    std::vector<std::wstring> paths;
    for (gchar** u = uris; *u; ++u) {
        if (gchar* file = g_filename_from_uri(*u, nullptr, nullptr)) {
            paths.push_back(wideOf(file));
            g_free(file);
        }
    }
    g_strfreev(uris);
    if (paths.empty()) return;
    self->native()->drop = std::move(paths);
    self->dispatch(wm::DropFiles, 0, 0);
}

gboolean onDelete(GtkWidget*, GdkEvent*, gpointer data) {
    auto* self = static_cast<Window*>(data);
    if (Window::isLive(self) && self->handle()) self->dispatch(wm::Close, 0, 0);
    return TRUE;  // the window is destroyed only by the close processing
}

}  // namespace

LResult Window::beginDrag(WParam wParam, LParam lParam) {
    Native& n = *native_;
    if (!handle() || n.dragging) return 0;
    Point origin;
    position(origin);
    n.dragWindowX = origin.x;
    n.dragWindowY = origin.y;
    n.dragWParam = wParam;
    n.dragLParam = lParam;
    n.dragging = true;
    dispatch(wm::EnterSizeMove, 0, 0);
    return 0;  // the release comes with the end of the drag
}

bool Window::trackMouse() {
    if (!native_ || native_->tracking) return false;
    native_->tracking = true;
    return true;
}

void forgetWindow(const Window* window) {
    if (g_activeWindow == window) g_activeWindow = nullptr;
    if (g_cursorWindow == window) g_cursorWindow = nullptr;
}

Window* cursorWindow() { return Window::isLive(g_cursorWindow) ? g_cursorWindow : nullptr; }

void connectEvents(Window& window) {
    Window::Native& n = *window.native();
    gtk_widget_add_events(n.client, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                        GDK_POINTER_MOTION_MASK | GDK_ENTER_NOTIFY_MASK |
                                        GDK_LEAVE_NOTIFY_MASK | GDK_SCROLL_MASK);
    gtk_widget_add_events(n.toplevel, GDK_KEY_PRESS_MASK | GDK_KEY_RELEASE_MASK |
                                          GDK_FOCUS_CHANGE_MASK | GDK_STRUCTURE_MASK);
    g_signal_connect(n.client, "button-press-event", G_CALLBACK(onButtonPress), &window);
    g_signal_connect(n.client, "button-release-event", G_CALLBACK(onButtonRelease), &window);
    g_signal_connect(n.client, "motion-notify-event", G_CALLBACK(onMotion), &window);
    g_signal_connect(n.client, "leave-notify-event", G_CALLBACK(onLeave), &window);
    g_signal_connect(n.client, "grab-broken-event", G_CALLBACK(onGrabBroken), &window);
    g_signal_connect(n.client, "scroll-event", G_CALLBACK(onScroll), &window);
    g_signal_connect(n.toplevel, "key-press-event", G_CALLBACK(onKeyPress), &window);
    g_signal_connect(n.toplevel, "key-release-event", G_CALLBACK(onKeyRelease), &window);
    g_signal_connect(n.toplevel, "focus-in-event", G_CALLBACK(onFocusIn), &window);
    g_signal_connect(n.toplevel, "focus-out-event", G_CALLBACK(onFocusOut), &window);
    g_signal_connect(n.toplevel, "configure-event", G_CALLBACK(onConfigure), &window);
    g_signal_connect(n.toplevel, "delete-event", G_CALLBACK(onDelete), &window);
    g_signal_connect(n.client, "size-allocate", G_CALLBACK(onClientAllocate), &window);
    if (window.exStyle() & wsex::AcceptFiles) {
        gtk_drag_dest_set(n.client, GTK_DEST_DEFAULT_ALL, nullptr, 0, GDK_ACTION_COPY);
        gtk_drag_dest_add_uri_targets(n.client);
        g_signal_connect(n.client, "drag-data-received", G_CALLBACK(onDragDataReceived), &window);
    }
}

}  // namespace kiro::ui
