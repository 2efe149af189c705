// Whole-program tests on X11: finding a process's windows, reading their state and pixels,
// reading the PRIMARY selection, and a minimal desktop that keeps the window-state property.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/types.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

struct XWin {
    ::Window id = 0;
    Box box;
    bool mapped = false;
    bool overrideRedirect = false;
    long pid = 0;
    ::Window transientFor = 0;
    std::string title;
    std::string type;  // the first of _NET_WM_WINDOW_TYPE, e.g. "_NET_WM_WINDOW_TYPE_DIALOG"
    bool decorated = true;  // unless its Motif hints ask for no decorations (no title bar)
};

// Pixels of a screen area as 0xRRGGBB values, row by row.
struct Pixels {
    Box box;
    std::vector<std::uint32_t> rgb;
    std::uint32_t at(int x, int y) const { return rgb[(y - box.top) * box.width() + (x - box.left)]; }
    std::size_t count(const std::function<bool(std::uint32_t)>& test) const {
        return static_cast<std::size_t>(std::count_if(rgb.begin(), rgb.end(), test));
    }
};

// One connection to the display for the test's own use. It also stands in for the parts of
// a window manager that the program relies on: it announces a work area with a panel at the
// bottom, and it carries out the _NET_WM_STATE requests that clients send to the root window
// (the program asks to be kept above the other windows this way). Requests are taken from
// the connection whenever the test looks at the screen, so no thread is needed.
class Desktop {
public:
    explicit Desktop(int panelHeight = 30) {
        previousHandler_ = XSetErrorHandler(&Desktop::ignoreErrors);
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) throw std::runtime_error("no X display");
        root_ = DefaultRootWindow(display_);
        screen_ = Box{0, 0, DisplayWidth(display_, DefaultScreen(display_)),
                      DisplayHeight(display_, DefaultScreen(display_))};
        workArea_ = screen_;
        workArea_.bottom -= panelHeight;
        announce();
        XSelectInput(display_, root_, SubstructureNotifyMask);
        selectionWindow_ = XCreateSimpleWindow(display_, root_, -10, -10, 1, 1, 0, 0, 0);
        XSync(display_, False);
    }
    ~Desktop() {
        for (const char* name : {"_NET_SUPPORTING_WM_CHECK", "_NET_SUPPORTED", "_NET_WORKAREA",
                                 "_NET_CURRENT_DESKTOP", "_NET_NUMBER_OF_DESKTOPS"}) {
            XDeleteProperty(display_, root_, atom(name));
        }
        XDestroyWindow(display_, check_);
        XDestroyWindow(display_, selectionWindow_);
        XSync(display_, False);
        XCloseDisplay(display_);
        XSetErrorHandler(previousHandler_);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Box screen() const { return screen_; }
    Box workArea() const { return workArea_; }

    // Carries out the window-state requests queued so far.
    void pump() {
        while (XPending(display_) > 0) {
            XEvent e;
            XNextEvent(display_, &e);
            if (e.type == ClientMessage && e.xclient.message_type == atom("_NET_WM_STATE")) {
                changeState(e.xclient.window, e.xclient.data.l[0], e.xclient.data.l[1], e.xclient.data.l[2]);
            } else if (e.type == SelectionNotify && e.xselection.requestor == selectionWindow_) {
                selectionDone_ = true;
                selectionProperty_ = e.xselection.property;
            }
        }
    }

    // Top-level windows (children of the root), bottom to top.
    std::vector<XWin> windows() {
        pump();
        std::vector<XWin> out;
        ::Window rootBack = 0, parent = 0;
        ::Window* children = nullptr;
        unsigned count = 0;
        if (!XQueryTree(display_, root_, &rootBack, &parent, &children, &count)) return out;
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a;
            if (!XGetWindowAttributes(display_, children[i], &a)) continue;
            XWin w;
            w.id = children[i];
            w.box = Box{a.x, a.y, a.x + a.width, a.y + a.height};
            w.mapped = a.map_state == IsViewable;
            w.overrideRedirect = a.override_redirect;
            const auto pid = cardinals(w.id, "_NET_WM_PID");
            w.pid = pid.empty() ? 0 : pid[0];
            ::Window owner = 0;
            if (XGetTransientForHint(display_, w.id, &owner)) w.transientFor = owner;
            w.title = utf8Property(w.id, "_NET_WM_NAME");
            const auto types = atoms(w.id, "_NET_WM_WINDOW_TYPE");
            if (!types.empty()) w.type = types.front();
            // flags, functions, decorations, ...: the decorations count when flag 2 is set.
            const auto motif = cardinals(w.id, "_MOTIF_WM_HINTS", atom("_MOTIF_WM_HINTS"));
            w.decorated = !(motif.size() >= 3 && (motif[0] & 2) != 0 && motif[2] == 0);
            out.push_back(w);
        }
        if (children) XFree(children);
        return out;
    }

    std::vector<XWin> windowsOf(long pid) {
        auto all = windows();
        all.erase(std::remove_if(all.begin(), all.end(), [pid](const XWin& w) { return w.pid != pid; }), all.end());
        return all;
    }

    std::optional<XWin> find(long pid, const std::function<bool(const XWin&)>& test) {
        for (const XWin& w : windowsOf(pid)) {
            if (test(w)) return w;
        }
        return std::nullopt;
    }

    std::optional<XWin> window(::Window id) {
        for (const XWin& w : windows()) {
            if (w.id == id) return w;
        }
        return std::nullopt;
    }

    // The atoms named in a window's _NET_WM_STATE.
    std::vector<std::string> wmState(::Window id) {
        pump();
        return atoms(id, "_NET_WM_STATE");
    }

    bool hasState(::Window id, const std::string& name) {
        const auto all = wmState(id);
        return std::find(all.begin(), all.end(), name) != all.end();
    }

    // What the screen shows in the area (clipped to the screen).
    Pixels grab(Box area) {
        pump();
        area.left = std::max(area.left, screen_.left);
        area.top = std::max(area.top, screen_.top);
        area.right = std::min(area.right, screen_.right);
        area.bottom = std::min(area.bottom, screen_.bottom);
        Pixels p;
        p.box = area;
        if (area.width() <= 0 || area.height() <= 0) return p;
        XImage* image = XGetImage(display_, root_, area.left, area.top, static_cast<unsigned>(area.width()),
                                  static_cast<unsigned>(area.height()), AllPlanes, ZPixmap);
        if (image == nullptr) return p;
        p.rgb.reserve(static_cast<std::size_t>(area.width()) * static_cast<std::size_t>(area.height()));
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x) p.rgb.push_back(XGetPixel(image, x, y) & 0xFFFFFFu);
        }
        XDestroyImage(image);
        return p;
    }

    std::pair<int, int> pointer() {
        ::Window r = 0, c = 0;
        int rx = 0, ry = 0, wx = 0, wy = 0;
        unsigned mask = 0;
        XQueryPointer(display_, root_, &r, &c, &rx, &ry, &wx, &wy, &mask);
        return {rx, ry};
    }

    // The PRIMARY selection as UTF-8 text; empty when nobody holds it or it does not answer.
    std::string primarySelection(int timeoutMs = 2000) { return selection(XA_PRIMARY, timeoutMs); }
    // The same for the CLIPBOARD selection.
    std::string clipboard(int timeoutMs = 2000) { return selection(atom("CLIPBOARD"), timeoutMs); }

private:
    std::string selection(Atom which, int timeoutMs) {
        pump();
        selectionDone_ = false;
        selectionProperty_ = 0;
        const Atom target = atom("E2E_SELECTION");
        XDeleteProperty(display_, selectionWindow_, target);
        XConvertSelection(display_, which, atom("UTF8_STRING"), target, selectionWindow_, CurrentTime);
        XFlush(display_);
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!selectionDone_ && std::chrono::steady_clock::now() < until) {
            pump();
            if (!selectionDone_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (!selectionDone_ || selectionProperty_ == 0) return {};
        return utf8Property(selectionWindow_, "E2E_SELECTION", AnyPropertyType);
    }

    static int ignoreErrors(Display*, XErrorEvent*) { return 0; }

    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

    // The announcement a window manager makes: its check window, what it supports, one
    // desktop and its work area.
    void announce() {
        check_ = XCreateSimpleWindow(display_, root_, -10, -10, 1, 1, 0, 0, 0);
        setWindows(check_, "_NET_SUPPORTING_WM_CHECK", check_);
        const std::string name = "e2e-desktop";
        XChangeProperty(display_, check_, atom("_NET_WM_NAME"), atom("UTF8_STRING"), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(name.data()), static_cast<int>(name.size()));
        const Atom supported[] = {atom("_NET_SUPPORTING_WM_CHECK"), atom("_NET_WM_STATE"),
                                  atom("_NET_WM_STATE_ABOVE"), atom("_NET_WM_STATE_BELOW"),
                                  atom("_NET_WORKAREA"), atom("_NET_CURRENT_DESKTOP"),
                                  atom("_NET_NUMBER_OF_DESKTOPS")};
        XChangeProperty(display_, root_, atom("_NET_SUPPORTED"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(supported), 7);
        const long desktop[] = {0};
        const long desktops[] = {1};
        const long area[] = {workArea_.left, workArea_.top, workArea_.width(), workArea_.height()};
        XChangeProperty(display_, root_, atom("_NET_CURRENT_DESKTOP"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(desktop), 1);
        XChangeProperty(display_, root_, atom("_NET_NUMBER_OF_DESKTOPS"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(desktops), 1);
        XChangeProperty(display_, root_, atom("_NET_WORKAREA"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(area), 4);
        setWindows(root_, "_NET_SUPPORTING_WM_CHECK", check_);
    }

    void setWindows(::Window on, const char* name, ::Window value) {
        const long v[] = {static_cast<long>(value)};
        XChangeProperty(display_, on, atom(name), XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(v), 1);
    }

    // action 0 removes, 1 adds, 2 toggles the named states (EWMH).
    void changeState(::Window id, long action, long first, long second) {
        std::vector<Atom> now;
        {
            Atom type = 0;
            int format = 0;
            unsigned long n = 0, after = 0;
            unsigned char* data = nullptr;
            if (XGetWindowProperty(display_, id, atom("_NET_WM_STATE"), 0, 64, False, XA_ATOM, &type, &format, &n,
                                   &after, &data) == Success &&
                data != nullptr) {
                const auto* atoms = reinterpret_cast<const Atom*>(data);
                now.assign(atoms, atoms + n);
            }
            if (data) XFree(data);
        }
        for (long a : {first, second}) {
            if (a == 0) continue;
            const auto at = std::find(now.begin(), now.end(), static_cast<Atom>(a));
            const bool present = at != now.end();
            const bool want = action == 1 || (action == 2 && !present);
            if (want && !present) now.push_back(static_cast<Atom>(a));
            if (!want && present) now.erase(at);
        }
        XChangeProperty(display_, id, atom("_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(now.data()), static_cast<int>(now.size()));
        XFlush(display_);
    }

    // The names of the atoms in an ATOM-list property.
    std::vector<std::string> atoms(::Window id, const char* property) {
        std::vector<std::string> out;
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, id, atom(property), 0, 64, False, XA_ATOM, &type, &format, &n, &after,
                               &data) == Success &&
            data != nullptr) {
            const auto* list = reinterpret_cast<const Atom*>(data);
            for (unsigned long i = 0; i < n; ++i) {
                if (char* name = XGetAtomName(display_, list[i])) {
                    out.emplace_back(name);
                    XFree(name);
                }
            }
        }
        if (data) XFree(data);
        return out;
    }

    std::vector<long> cardinals(::Window id, const char* name, Atom wanted = XA_CARDINAL) {
        std::vector<long> out;
        Atom type = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, id, atom(name), 0, 16, False, wanted, &type, &format, &n, &after,
                               &data) == Success &&
            data != nullptr && format == 32) {
            const auto* v = reinterpret_cast<const long*>(data);
            out.assign(v, v + n);
        }
        if (data) XFree(data);
        return out;
    }

    std::string utf8Property(::Window id, const char* name, Atom type = 0) {
        std::string out;
        Atom actual = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, id, atom(name), 0, 1 << 16, False, type ? type : atom("UTF8_STRING"),
                               &actual, &format, &n, &after, &data) == Success &&
            data != nullptr && format == 8) {
            out.assign(reinterpret_cast<const char*>(data), n);
        }
        if (data) XFree(data);
        return out;
    }

    Display* display_ = nullptr;
    ::Window root_ = 0;
    ::Window check_ = 0;
    ::Window selectionWindow_ = 0;
    Box screen_;
    Box workArea_;
    bool selectionDone_ = false;
    Atom selectionProperty_ = 0;
    XErrorHandler previousHandler_ = nullptr;
};

// Keyboard and mouse through the XTEST extension (xdotool); waits for xdotool to finish.
inline bool xdotool(const std::string& args) {
    return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace e2e
