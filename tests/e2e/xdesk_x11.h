// Whole-program tests on X11: a desktop run by a real window manager with a panel, and a
// process's windows on it, their state and pixels, and the PRIMARY selection.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "e2e/appprocess.h"

namespace e2e {

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct XWin {
    ::Window id = 0;
    Box box;  // on the screen
    bool mapped = false;
    bool overrideRedirect = false;
    long pid = 0;
    ::Window transientFor = 0;
    std::string title;
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

// One connection to the display for the test's own use, on a desktop run by a window manager
// (openbox, started here when none runs) with a panel at the bottom: a dock window whose strut
// the manager takes out of the work area it announces.
class Desktop {
public:
    explicit Desktop(int panelHeight = 30) {
        previousHandler_ = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) throw std::runtime_error("no X display");
        root_ = DefaultRootWindow(display_);
        screen_ = Box{0, 0, DisplayWidth(display_, 0), DisplayHeight(display_, 0)};
        // A manager that ended without clearing up leaves the name of a window that is gone.
        // TAVI_E2E_WM=none leaves the desktop without one (the work area then has to be
        // announced already).
        const auto check = property<long>(root_, "_NET_SUPPORTING_WM_CHECK", XA_WINDOW);
        const char* manager = std::getenv("TAVI_E2E_WM");
        XWindowAttributes a;
        if ((check.empty() || !XGetWindowAttributes(display_, ::Window(check[0]), &a)) &&
            !(manager && std::string(manager) == "none") && (manager_ = fork()) == 0) {
            execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
            _exit(127);
        }
        panel_ =
            XCreateSimpleWindow(display_, root_, 0, screen_.bottom - panelHeight, screen_.right, panelHeight, 0, 0, 0);
        const long dock[] = {long(atom("_NET_WM_WINDOW_TYPE_DOCK"))}, strut[] = {0, 0, 0, panelHeight};
        XChangeProperty(display_, panel_, atom("_NET_WM_WINDOW_TYPE"), XA_ATOM, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(dock), 1);
        XChangeProperty(display_, panel_, atom("_NET_WM_STRUT"), XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(strut), 4);
        XMapWindow(display_, panel_);
        selectionWindow_ = XCreateSimpleWindow(display_, root_, -10, -10, 1, 1, 0, 0, 0);
        std::vector<long> area;
        const auto announced = [&] {
            area = property<long>(root_, "_NET_WORKAREA", XA_CARDINAL);
            return area.size() >= 4 && area[3] == screen_.bottom - panelHeight;
        };
        if (!waitFor(announced, std::chrono::seconds(10))) {
            std::string last;
            for (long v : area) last += " " + std::to_string(v);
            throw std::runtime_error("the work area announced is not above the panel:" + last);
        }
        workArea_ = Box{int(area[0]), int(area[1]), int(area[0] + area[2]), int(area[1] + area[3])};
    }
    ~Desktop() {
        XDestroyWindow(display_, panel_);
        XDestroyWindow(display_, selectionWindow_);
        XCloseDisplay(display_);
        XSetErrorHandler(previousHandler_);
        if (manager_ > 0) {
            kill(manager_, SIGTERM);
            waitpid(manager_, nullptr, 0);
        }
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

    Box screen() const { return screen_; }
    Box workArea() const { return workArea_; }

    // The process's top-level windows: the window manager's clients and the root's children
    // (the menus and other windows it does not manage).
    std::vector<XWin> windowsOf(long pid) {
        ::Window rootBack = 0, parent = 0, *children = nullptr;
        unsigned count = 0;
        std::vector<long> ids = property<long>(root_, "_NET_CLIENT_LIST", XA_WINDOW);
        if (XQueryTree(display_, root_, &rootBack, &parent, &children, &count) && children) {
            ids.insert(ids.end(), children, children + count);
            XFree(children);
        }
        std::vector<XWin> out;
        for (long id : ids) {
            XWin w;
            w.id = ::Window(id);
            const auto pids = property<long>(w.id, "_NET_WM_PID", XA_CARDINAL);
            XWindowAttributes a;
            if (pids.empty() || pids[0] != pid || !XGetWindowAttributes(display_, w.id, &a) ||
                !XTranslateCoordinates(display_, w.id, root_, 0, 0, &w.box.left, &w.box.top, &parent))
                continue;
            w.box.right = w.box.left + a.width;
            w.box.bottom = w.box.top + a.height;
            w.mapped = a.map_state == IsViewable;
            w.overrideRedirect = a.override_redirect;
            w.pid = pid;
            XGetTransientForHint(display_, w.id, &w.transientFor);
            const auto title = property<char>(w.id, "_NET_WM_NAME", atom("UTF8_STRING"));
            w.title.assign(title.begin(), title.end());
            // flags, functions, decorations, ...: the decorations count when flag 2 is set.
            const auto motif = property<long>(w.id, "_MOTIF_WM_HINTS", atom("_MOTIF_WM_HINTS"));
            w.decorated = !(motif.size() >= 3 && (motif[0] & 2) != 0 && motif[2] == 0);
            out.push_back(w);
        }
        return out;
    }

    std::optional<XWin> find(long pid, const std::function<bool(const XWin&)>& test) {
        for (const XWin& w : windowsOf(pid)) {
            if (test(w)) return w;
        }
        return std::nullopt;
    }

    // Whether the window's _NET_WM_STATE names the state.
    bool hasState(::Window id, const char* name) {
        const auto all = property<long>(id, "_NET_WM_STATE", XA_ATOM);
        return std::find(all.begin(), all.end(), long(atom(name))) != all.end();
    }

    // What the screen shows in the area (clipped to the screen).
    Pixels grab(Box area) {
        area = Box{std::max(area.left, 0), std::max(area.top, 0), std::min(area.right, screen_.right),
                   std::min(area.bottom, screen_.bottom)};
        Pixels p{area, {}};
        if (area.width() <= 0 || area.height() <= 0) return p;
        XImage* image = XGetImage(display_, root_, area.left, area.top, unsigned(area.width()), unsigned(area.height()),
                                  AllPlanes, ZPixmap);
        if (image == nullptr) return p;
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
    std::string primarySelection(std::chrono::milliseconds limit) {
        const Atom target = atom("E2E_SELECTION");
        XDeleteProperty(display_, selectionWindow_, target);
        XConvertSelection(display_, XA_PRIMARY, atom("UTF8_STRING"), target, selectionWindow_, CurrentTime);
        XFlush(display_);
        XEvent e;
        const auto answered = [&] { return XCheckTypedWindowEvent(display_, selectionWindow_, SelectionNotify, &e); };
        if (!waitFor(answered, limit, std::chrono::milliseconds(10)) || e.xselection.property == 0) return {};
        const auto text = property<char>(selectionWindow_, "E2E_SELECTION", AnyPropertyType);
        return std::string(text.begin(), text.end());
    }

private:
    Atom atom(const char* name) const { return XInternAtom(display_, name, False); }

    // A property's items (char for 8-bit ones, long for 32-bit ones); empty when it is missing
    // or of another type.
    template <class Item>
    std::vector<Item> property(::Window id, const char* name, Atom type) {
        std::vector<Item> out;
        Atom actual = 0;
        int format = 0;
        unsigned long n = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display_, id, atom(name), 0, 1 << 16, False, type, &actual, &format, &n, &after,
                               &data) == Success &&
            data != nullptr && format == (sizeof(Item) == 1 ? 8 : 32)) {
            out.assign(reinterpret_cast<const Item*>(data), reinterpret_cast<const Item*>(data) + n);
        }
        if (data) XFree(data);
        return out;
    }

    Display* display_ = nullptr;
    ::Window root_ = 0, panel_ = 0, selectionWindow_ = 0;
    pid_t manager_ = 0;
    Box screen_, workArea_;
    XErrorHandler previousHandler_ = nullptr;
};

// Keyboard and mouse through the XTEST extension (xdotool); waits for xdotool to finish.
inline bool xdotool(const std::string& args) {
    return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace e2e
