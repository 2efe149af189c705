// Linux backend of Window (GTK 3 on X11): the native window's life, geometry, z-order, timers,
// posted messages, painting and the default processing of messages.
#include "kiro/ui/window_gtk.h"

#include <glib.h>

#include <algorithm>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include "kiro/ui/canvas.h"
#include "kiro/ui/font_gtk.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/window_native_gtk.h"

namespace kiro::ui {

namespace {

const char* const WindowKey = "kiro-window";

}  // namespace

void ensureGtk() {
    prepareFonts();
    if (!initializeToolkit())
        throw std::runtime_error("kiro::ui::Window::Window can not create window.");
}

namespace {

gboolean paintNow(gpointer data) {
    auto* self = static_cast<Window*>(data);
    self->native()->paintSource = 0;
    if (self->native()->visible) self->dispatch(wm::Paint, 0, 0);
    return G_SOURCE_REMOVE;
}

gboolean timerFired(gpointer data) {
    auto* d = static_cast<std::pair<Window*, std::uint32_t>*>(data);
    d->first->dispatch(wm::Timer, d->second, 0);
    return G_SOURCE_CONTINUE;
}

void freeTimerData(gpointer data) { delete static_cast<std::pair<Window*, std::uint32_t>*>(data); }

gboolean deliverPosted(gpointer data) {
    auto* p = static_cast<PostedMessage*>(data);
    Window* w = p->window;
    w->native()->posted.remove(p);
    const PostedMessage copy = *p;
    delete p;
    w->dispatch(copy.msg, copy.wParam, copy.lParam);
    return G_SOURCE_REMOVE;
}

void onClipboardOwnerChange(GtkClipboard*, GdkEvent*, gpointer data) {
    auto* self = static_cast<Window*>(data);
    self->dispatch(wm::ClipboardUpdate, 0, 0);
}

void styleWindow(Window::Native& n, std::uint32_t style, std::uint32_t exStyle, bool owned) {
    GtkWindow* win = GTK_WINDOW(n.toplevel);
    gtk_window_set_decorated(win, (style & ws::Caption) == ws::Caption);
    // GTK sizes a window that is not resizable by its contents; sizes here are set explicitly,
    // so the window stays resizable and a frameless one simply offers no border to drag.
    gtk_window_set_skip_taskbar_hint(win, owned || (exStyle & wsex::ToolWindow));
    gtk_window_set_skip_pager_hint(win, owned || (exStyle & wsex::ToolWindow));
}

}  // namespace

std::string utf8Of(const std::wstring& text) {
    static_assert(sizeof(wchar_t) == 4, "wchar_t holds whole code points on Linux");
    gchar* s = g_ucs4_to_utf8(reinterpret_cast<const gunichar*>(text.c_str()), glong(text.size()),
                              nullptr, nullptr, nullptr);
    std::string out = s ? s : "";
    g_free(s);
    return out;
}

std::wstring wideOf(const char* utf8) {
    if (!utf8) return {};
    glong n = 0;
    gunichar* u = g_utf8_to_ucs4(utf8, -1, nullptr, &n, nullptr);
    std::wstring out = u ? std::wstring(reinterpret_cast<const wchar_t*>(u), std::size_t(n)) : L"";
    g_free(u);
    return out;
}

GtkWidget* gtkToplevel(const Window& window) {
    return window.native() ? window.native()->toplevel : nullptr;
}

GtkWidget* gtkClientArea(const Window& window) {
    return window.native() ? window.native()->client : nullptr;
}

GtkWidget* gtkFrameBox(const Window& window) {
    return window.native() ? window.native()->frame : nullptr;
}

Window* windowOfToplevel(GtkWidget* widget) {
    if (!widget) return nullptr;
    auto* w = static_cast<Window*>(g_object_get_data(G_OBJECT(widget), WindowKey));
    return Window::isLive(w) ? w : nullptr;
}

int clientTop(const Window::Native& n) {
    if (!n.frame) return 0;
    int top = 0;
    GList* kids = gtk_container_get_children(GTK_CONTAINER(n.frame));
    for (GList* l = kids; l; l = l->next) {
        auto* kid = GTK_WIDGET(l->data);
        if (kid == n.client) break;
        if (!gtk_widget_get_visible(kid)) continue;
        int minimum = 0, natural = 0;
        gtk_widget_get_preferred_height(kid, &minimum, &natural);
        top += natural;
    }
    g_list_free(kids);
    return top;
}

void applyGeometry(Window& window, int x, int y, int w, int h, std::uint32_t flags) {
    Window::Native& n = *window.native();
    if (!n.toplevel) return;
    WindowPos pos{n.toplevel, nullptr, x - n.insets.left, y - insetTop(n),
                  w + n.insets.left + n.insets.right, h + insetTop(n) + n.insets.bottom, flags};
    window.dispatch(wm::WindowPosChanging, 0, reinterpret_cast<LParam>(&pos));
    if (!window.native() || !n.toplevel) return;
    int nx = n.x, ny = n.y, nw = n.w, nh = n.h;
    if (!(pos.flags & swp::NoMove)) {
        nx = pos.x + n.insets.left;
        ny = pos.y + insetTop(n);
    }
    if (!(pos.flags & swp::NoSize)) {
        nw = std::max(0, pos.cx - n.insets.left - n.insets.right);
        nh = std::max(0, pos.cy - insetTop(n) - n.insets.bottom);
    }
    std::uint32_t changed = swp::NoZOrder | swp::NoActivate;
    if (nx == n.x && ny == n.y) changed |= swp::NoMove;
    if (nw == n.w && nh == n.h) changed |= swp::NoSize;
    n.x = nx;
    n.y = ny;
    n.w = nw;
    n.h = nh;
    if (!(changed & swp::NoMove)) gtk_window_move(GTK_WINDOW(n.toplevel), nx - n.insets.left, ny - insetTop(n));
    if (!(changed & swp::NoSize)) {
        // The default size is what a window not yet shown opens with.
        const int tw = std::max(1, nw), th = std::max(1, nh + clientTop(n));
        gtk_window_set_default_size(GTK_WINDOW(n.toplevel), tw, th);
        gtk_window_resize(GTK_WINDOW(n.toplevel), tw, th);
    }
    if ((changed & (swp::NoMove | swp::NoSize)) == (swp::NoMove | swp::NoSize)) return;
    n.pendingGeometry.push_back(Rect{nx, ny, nw, nh});
    if (n.pendingGeometry.size() > 64) n.pendingGeometry.pop_front();
    WindowPos done{n.toplevel, nullptr, nx - n.insets.left, ny - insetTop(n),
                   nw + n.insets.left + n.insets.right, nh + insetTop(n) + n.insets.bottom, changed};
    window.dispatch(wm::WindowPosChanged, 0, reinterpret_cast<LParam>(&done));
}

void Window::NativeDeleter::operator()(Native* native) const { delete native; }

void Window::createNative(std::uint32_t style, std::uint32_t exStyle) {
    ensureGtk();
    native_.reset(new Native());
    Native& n = *native_;
    n.self = this;
    n.layered = (exStyle & wsex::Layered) != 0;
    n.toplevel = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    if (!n.toplevel) throw std::runtime_error("kiro::ui::Window::Window can not create window.");
    g_object_set_data(G_OBJECT(n.toplevel), WindowKey, this);
    GtkWindow* win = GTK_WINDOW(n.toplevel);
    gtk_widget_set_app_paintable(n.toplevel, TRUE);
    if (n.layered) {
        GdkScreen* screen = gtk_widget_get_screen(n.toplevel);
        if (GdkVisual* rgba = gdk_screen_get_rgba_visual(screen)) gtk_widget_set_visual(n.toplevel, rgba);
        watchCompositing(screen);
    }
    styleWindow(n, style, exStyle, parent_ != nullptr);
    if (exStyle & wsex::NoActivate) {
        n.noActivate = true;
        gtk_window_set_accept_focus(win, FALSE);
        gtk_window_set_focus_on_map(win, FALSE);
    }
    if (exStyle & wsex::Topmost) {
        n.topmost = true;
        gtk_window_set_keep_above(win, TRUE);
    }
    if (parent_ && parent_->native() && parent_->native()->toplevel)
        gtk_window_set_transient_for(win, GTK_WINDOW(parent_->native()->toplevel));
    n.frame = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    n.client = gtk_fixed_new();
    gtk_widget_set_has_window(n.client, TRUE);
    gtk_widget_set_hexpand(n.client, TRUE);
    gtk_widget_set_vexpand(n.client, TRUE);
    gtk_box_pack_end(GTK_BOX(n.frame), n.client, TRUE, TRUE, 0);
    gtk_container_add(GTK_CONTAINER(n.toplevel), n.frame);
    gtk_widget_show(n.client);
    gtk_widget_show(n.frame);
    g_signal_connect(n.client, "draw", G_CALLBACK(drawClient), this);
    connectEvents(*this);
    gtk_window_move(win, 0, 0);
    gtk_window_set_default_size(win, n.w, n.h);
    gtk_window_resize(win, n.w, n.h);
    // (realized when first shown: realizing earlier would fix the size at 200 by 200)
    if (n.layered) {
        cairo_region_t* none = cairo_region_create();
        gtk_widget_input_shape_combine_region(n.toplevel, none);
        cairo_region_destroy(none);
    }
}

WindowHandle Window::handle() const { return native_ ? native_->toplevel : nullptr; }

void Window::destroyNative() {
    if (!native_ || !native_->toplevel || native_->destroying) return;
    Native& n = *native_;
    n.destroying = true;
    // Owned windows go first, as the system destroys them with their owner.
    const std::set<Window*> owned = children_;
    for (Window* c : owned)
        if (children_.count(c)) c->destroy();
    dispatch(wm::Destroy, 0, 0);
    killTimers();
    hook(nullptr);
    if (n.paintSource) g_source_remove(n.paintSource);
    n.paintSource = 0;
    for (PostedMessage* p : n.posted) {
        g_source_remove(p->source);
        delete p;
    }
    n.posted.clear();
    if (n.clipboardHandler)
        g_signal_handler_disconnect(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), n.clipboardHandler);
    n.clipboardHandler = 0;
    forgetWindow(this);
    GtkWidget* top = n.toplevel;
    n.toplevel = nullptr;
    n.client = nullptr;
    n.frame = nullptr;
    n.visible = false;
    n.dragging = false;
    g_object_set_data(G_OBJECT(top), WindowKey, nullptr);
    gtk_widget_destroy(top);
    if (n.presented) cairo_surface_destroy(n.presented);
    if (n.shown) cairo_surface_destroy(n.shown);
    n.presented = n.shown = nullptr;
}

void Window::show() {
    if (!handle()) return;
    Native& n = *native_;
    GtkWindow* win = GTK_WINDOW(n.toplevel);
    if (firstShow_) {
        firstShow_ = false;
        gtk_widget_show(n.toplevel);
    } else if (!n.visible) {
        // Later calls show the window without activating it.
        const gboolean focusOnMap = gtk_window_get_focus_on_map(win);
        gtk_window_set_focus_on_map(win, FALSE);
        gtk_widget_show(n.toplevel);
        gtk_window_set_focus_on_map(win, focusOnMap);
    }
    n.visible = true;
    if (n.layered) updateLayered(n);
    invalidate();
}

void Window::hide() {
    if (!handle()) return;
    gtk_widget_hide(native_->toplevel);
    native_->visible = false;
}

bool Window::isVisible() const { return handle() && native_->visible; }

void Window::invalidate() {
    if (!handle() || native_->paintSource) return;
    // Painting waits until the pending events are handled, as a paint message would.
    native_->paintSource = g_idle_add_full(G_PRIORITY_HIGH_IDLE + 10, paintNow, this, nullptr);
}

LResult Window::paint() {
    Canvas canvas(native_->w, native_->h);
    LResult r = onPaint(canvas);
    if (r == 0 && handle()) canvas.present(handle(), 0, 0);
    return r;
}

void Window::focus() {
    if (!handle()) return;
    gtk_window_set_focus(GTK_WINDOW(native_->toplevel), nullptr);
    if (GdkWindow* gw = gtk_widget_get_window(native_->toplevel))
        gdk_window_focus(gw, gtk_get_current_event_time());
    invalidate();
}

void Window::applyStyle(bool) {
    styleWindow(*native_, style_, exStyle_, parent_ != nullptr);
    const bool noActivate = (exStyle_ & wsex::NoActivate) != 0;
    native_->noActivate = noActivate;
    gtk_window_set_accept_focus(GTK_WINDOW(native_->toplevel), !noActivate);
    gtk_window_set_focus_on_map(GTK_WINDOW(native_->toplevel), !noActivate);
}

void Window::setTitle(const std::wstring& text) {
    if (!native_) return;
    native_->title = text;
    if (handle()) gtk_window_set_title(GTK_WINDOW(native_->toplevel), utf8Of(text).c_str());
}

std::wstring Window::title() const { return native_ ? native_->title : std::wstring(); }

void Window::listenClipboard(bool on) {
    if (!handle()) return;
    GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
    if (on && !native_->clipboardHandler) {
        native_->clipboardHandler =
            g_signal_connect(clipboard, "owner-change", G_CALLBACK(onClipboardOwnerChange), this);
    } else if (!on && native_->clipboardHandler) {
        g_signal_handler_disconnect(clipboard, native_->clipboardHandler);
        native_->clipboardHandler = 0;
    }
}

void Window::position(Point& out) const {
    if (!handle()) {
        out = Point{0, 0};
        return;
    }
    out = Point{native_->x - native_->insets.left, native_->y - insetTop(*native_)};
}

void Window::getWindowRect(Rect& out) const {
    if (!native_) {
        out = Rect{0, 0, 0, 0};
        return;
    }
    const Native& n = *native_;
    out = Rect{n.x - n.insets.left, n.y - insetTop(n), n.x + n.w + n.insets.right,
               n.y + n.h + n.insets.bottom};
}

void Window::getClientRect(Rect& out) const {
    out = native_ ? Rect{0, 0, native_->w, native_->h} : Rect{0, 0, 0, 0};
}

void Window::clientSize(Size& out) const {
    out = native_ ? Size{native_->w, native_->h} : Size{0, 0};
}

void Window::moveTo(int x, int y) {
    if (!handle()) return;
    applyGeometry(*this, x + native_->insets.left, y + insetTop(*native_), 0, 0,
                  swp::NoSize | swp::NoZOrder | swp::NoActivate);
}

void Window::setClientSize(int w, int h) {
    if (!handle()) return;
    applyGeometry(*this, 0, 0, w, h, swp::NoMove | swp::NoZOrder | swp::NoActivate);
}

void Window::applyTopmost(bool on) {
    native_->topmost = on;
    gtk_window_set_keep_above(GTK_WINDOW(native_->toplevel), on);
    if (on && native_->visible) {
        if (GdkWindow* gw = gtk_widget_get_window(native_->toplevel)) gdk_window_raise(gw);
    }
}

void Window::disableIme() {
    // The window itself has no input-method context on GTK: text input methods belong to
    // text widgets, so there is nothing to turn off.
}

void Window::restoreIme() {}

void Window::startNativeTimer(std::uint32_t ms, std::uint32_t id) {
    auto* data = new std::pair<Window*, std::uint32_t>(this, id);
    native_->timers[id] =
        g_timeout_add_full(G_PRIORITY_DEFAULT, std::max<std::uint32_t>(ms, 10), timerFired, data,
                           freeTimerData);
}

void Window::stopNativeTimer(std::uint32_t id) {
    if (!native_) return;
    auto it = native_->timers.find(id);
    if (it == native_->timers.end()) return;
    g_source_remove(it->second);
    native_->timers.erase(it);
}

LResult Window::sendMessage(std::uint32_t msg, WParam wParam, LParam lParam) {
    if (!handle()) return 0;
    return dispatch(msg, wParam, lParam);
}

void Window::postMessage(std::uint32_t msg, WParam wParam, LParam lParam) {
    if (!handle()) return;
    auto* p = new PostedMessage{this, msg, wParam, lParam};
    native_->posted.push_back(p);
    p->source = g_idle_add_full(G_PRIORITY_DEFAULT, deliverPosted, p, nullptr);
}

std::vector<std::wstring> Window::droppedPaths(WParam) {
    return native_ ? std::move(native_->drop) : std::vector<std::wstring>();
}

LResult Window::defaultProcessing(std::uint32_t msg, WParam wParam, LParam lParam) {
    if (!handle()) return 0;
    Native& n = *native_;
    switch (msg) {
    case wm::Close:
        destroy();
        return 0;
    case wm::Paint:
        // Painted by nobody: an ordinary window shows its white background.
        if (!n.layered) {
            if (n.presented) cairo_surface_destroy(n.presented);
            n.presented = nullptr;
            gtk_widget_queue_draw(n.client);
        }
        return 0;
    case wm::WindowPosChanged: {
        const auto* pos = reinterpret_cast<const WindowPos*>(lParam);
        if (!(pos->flags & swp::NoMove)) dispatch(wm::Move, 0, makeLParam(n.x, n.y));
        if (handle() && !(pos->flags & swp::NoSize)) {
            dispatch(wm::Size, 0, makeLParam(n.w, n.h));
            if (handle() && !n.layered) invalidate();
        }
        return 0;
    }
    case wm::SysKeyDown:
        if (wParam == vk::F4) return dispatch(wm::SysCommand, sc::Close, 0);
        return 0;
    case wm::SysCommand:
        if ((wParam & 0xFFF0) == sc::Close) return dispatch(wm::Close, 0, 0);
        return 0;
    case wm::SetCursor:
        if (GdkWindow* gw = gtk_widget_get_window(n.client)) gdk_window_set_cursor(gw, nullptr);
        return 0;
    default:
        return 0;
    }
}

}  // namespace kiro::ui
