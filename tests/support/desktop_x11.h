// Whole-program tests on X11: a private copy of the built application folder and the program
// started from it, a desktop run by a real window manager with a panel, and what a user sees
// of the program (its character window, the balloon, menus, boxes and their pixels) and how a
// user drives it (XTEST through xdotool).
#pragma once

#include <gtest/gtest.h>  // before Xlib, whose macros clash with it

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "kiro/io/charset/charset.h"
#include "kiro/io/ini.h"
#include "support/tempfolder.h"

namespace e2e {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Polls until the test holds (or finds something) or the time is up; returns its last answer.
template <typename Test>
auto waitFor(Test test, std::chrono::milliseconds limit, std::chrono::milliseconds step = 50ms) {
    for (const auto until = std::chrono::steady_clock::now() + limit;; std::this_thread::sleep_for(step)) {
        auto answer = test();
        if (answer || std::chrono::steady_clock::now() >= until) return answer;
    }
}

inline std::string readFile(const fs::path& path) {
    return tavi::test::readBytes(path.wstring());
}
inline void writeFile(const fs::path& path, const std::string& bytes) {
    tavi::test::writeBytes(path.wstring(), bytes);
}

// A script that notes each address or path it is asked to open (a line each, in
// root/opened.txt), made the desktop's handler for the types (";"-separated) in root's
// settings; the environment ("NAME=value") that makes a program use it.
inline std::vector<std::string> notingHandler(const fs::path& root, const std::string& types) {
    writeFile(root / "handler.sh", "#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + (root / "opened.txt").string() + "'\n");
    fs::permissions(root / "handler.sh", fs::perms::owner_all);
    writeFile(root / "applications/noting.desktop",
              "[Desktop Entry]\nType=Application\nName=noting\nExec=" + (root / "handler.sh").string() +
                  " %u\nMimeType=" + types + "\n");
    writeFile(root / "mimeapps.list",
              "[Default Applications]\n" + std::regex_replace(types + ";", std::regex(";"), "=noting.desktop\n"));
    return {"XDG_DATA_HOME=" + root.string(), "XDG_CONFIG_HOME=" + root.string()};
}

// The command that starts a program file, if any: TAVI_RUNNER (tools/wine-run.sh runs the
// Windows program under Wine, in the same process).
inline const char* runner() {
    const char* r = std::getenv("TAVI_RUNNER");
    return r != nullptr && *r != '\0' ? r : nullptr;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

struct XWin {
    ::Window id = 0;
    Box box;  // on the screen
    bool mapped = false, overrideRedirect = false;
    ::Window transientFor = 0;
    std::string title;
    bool decorated = true;  // unless its Motif hints ask for no decorations (no title bar)
};

// Pixels of a screen area as 0xRRGGBB values, row by row.
struct Pixels {
    Box box;
    std::vector<std::uint32_t> rgb;
};

// Keyboard and mouse through the XTEST extension (xdotool); waits for xdotool to finish.
inline bool xdotool(const std::string& args) {
    return std::system(("xdotool " + args + " >/dev/null 2>&1").c_str()) == 0;
}

// The test's own connection to a desktop run by a window manager (openbox, started here
// unless one runs; TAVI_E2E_WM=none leaves it without one, the work area announced already) with a
// panel at the bottom: a dock window whose strut the manager takes out of the work area.
class Desktop {
public:
    explicit Desktop(int panelHeight = 30) {
        previousHandler_ = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
        if ((display_ = XOpenDisplay(nullptr)) == nullptr) throw std::runtime_error("no X display");
        root_ = DefaultRootWindow(display_);
        screen_ = Box{0, 0, DisplayWidth(display_, 0), DisplayHeight(display_, 0)};
        // (One started beside a running manager gives way to it.)
        const char* manager = std::getenv("TAVI_E2E_WM");
        if (!(manager && std::string(manager) == "none") && (manager_ = fork()) == 0) {
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
        std::vector<long> area;
        if (!waitFor(
                [&] {
                    area = property<long>(root_, "_NET_WORKAREA", XA_CARDINAL);
                    return area.size() >= 4 && area[3] == screen_.bottom - panelHeight;
                },
                10s))
            throw std::runtime_error("the work area announced is not above the panel");
        workArea_ = Box{int(area[0]), int(area[1]), int(area[0] + area[2]), int(area[1] + area[3])};
    }
    ~Desktop() {
        XCloseDisplay(display_);  // which destroys the panel
        XSetErrorHandler(previousHandler_);
        if (manager_ > 0) kill(manager_, SIGTERM), waitpid(manager_, nullptr, 0);
    }
    Desktop(const Desktop&) = delete;
    Desktop& operator=(const Desktop&) = delete;

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
        for (const XWin& w : windowsOf(pid))
            if (test(w)) return w;
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
        XImage* image = area.width() <= 0 || area.height() <= 0
                            ? nullptr
                            : XGetImage(display_, root_, area.left, area.top, unsigned(area.width()),
                                        unsigned(area.height()), AllPlanes, ZPixmap);
        if (image == nullptr) return p;
        for (int y = 0; y < area.height(); ++y)
            for (int x = 0; x < area.width(); ++x) p.rgb.push_back(XGetPixel(image, x, y) & 0xFFFFFFu);
        XDestroyImage(image);
        return p;
    }

    // A selection ("PRIMARY", "CLIPBOARD") as UTF-8 text, delivered to the panel; empty when
    // nobody holds it or it does not answer.
    std::string selection(const char* name, std::chrono::milliseconds limit) {
        XConvertSelection(display_, atom(name), atom("UTF8_STRING"), atom("E2E_SELECTION"), panel_, CurrentTime);
        XFlush(display_);
        XEvent e;
        const auto answered = [&] { return XCheckTypedWindowEvent(display_, panel_, SelectionNotify, &e); };
        if (!waitFor(answered, limit, 10ms) || e.xselection.property == 0) return {};
        const auto text = property<char>(panel_, "E2E_SELECTION", AnyPropertyType);
        return std::string(text.begin(), text.end());
    }

    // Moves the pointer (there once xdotool has ended: the server takes its requests in order).
    void movePointer(int x, int y) { xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y)); }

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
            data != nullptr && format == (sizeof(Item) == 1 ? 8 : 32))
            out.assign(reinterpret_cast<const Item*>(data), reinterpret_cast<const Item*>(data) + n);
        if (data) XFree(data);
        return out;
    }

    Display* display_ = nullptr;
    ::Window root_ = 0, panel_ = 0;
    pid_t manager_ = 0;
    Box screen_, workArea_;
    XErrorHandler previousHandler_ = nullptr;
};

// Gives the window the keyboard and sends it xdotool's input commands ("key Escape", "type 'a'").
inline void input(const XWin& window, const std::string& commands) {
    xdotool("windowfocus --sync " + std::to_string(window.id) + " " + commands);
}

// One run of the program from the copy of the application folder under root, with the
// variables given ("NAME=value") added, started from "/" so that it has to find its folder from
// its own path, its standard error in root/stderr.log; killed at destruction if still running.
// And what a user sees of it on the desktop and does with it.
class AppProcess {
public:
    AppProcess(Desktop& desk, const fs::path& exe, const fs::path& root, std::vector<std::string> environment)
        : desk_(desk) {
        const std::string program = exe.string(), log = (root / "stderr.log").string();
        const char* start = runner();
        fs::create_directories(root / "run");  // holds the single-instance lock
        environment.push_back("XDG_RUNTIME_DIR=" + (root / "run").string());
        if ((pid_ = fork()) < 0) throw std::runtime_error("fork failed");
        if (pid_ == 0) {
            for (std::string& variable : environment) putenv(variable.data());
            if (FILE* err = std::fopen(log.c_str(), "a")) dup2(fileno(err), 2);
            if (chdir("/") != 0) _exit(126);
            if (start != nullptr) execl(start, start, program.c_str(), static_cast<char*>(nullptr));
            execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~AppProcess() {
        if (running()) kill(pid_, SIGKILL), waitpid(pid_, nullptr, 0);
    }
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running() {
        int status = 0;
        if (code_ < 0 && waitpid(pid_, &status, WNOHANG) == pid_)
            code_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return code_ < 0;
    }
    // The exit code (a signal counts as 128 + its number), or -1 while it still runs.
    int waitExit(std::chrono::milliseconds limit) {
        waitFor([&] { return !running(); }, limit, 20ms);
        return code_;
    }
    void signal(int number) { kill(pid_, number); }
    // The end of the user's session: SIGTERM on Linux; under Wine the messages Windows sends.
    void endSession() {
        const char* start = runner();
        if (start == nullptr ||
            std::system((std::string(start) + " wineboot --end-session >/dev/null 2>&1").c_str()) != 0)
            kill(pid_, SIGTERM);
    }

    // The character window: a mapped window of the program without a title bar that is no
    // menu and belongs to no shown window (it may belong to the hidden main window; the
    // balloon belongs to it). Boxes have title bars.
    // Under Wine the notes' cards belong to no shown window either: the character is the
    // tallest (the tests' notes hold a line or two).
    std::optional<XWin> body() {
        const auto all = desk_.windowsOf(pid_);
        std::optional<XWin> found;
        for (const XWin& w : all) {
            if (!w.mapped || w.overrideRedirect || w.decorated || (found && found->box.height() >= w.box.height()))
                continue;
            if (std::none_of(all.begin(), all.end(), [&](const XWin& o) { return o.id == w.transientFor && o.mapped; }))
                found = w;
        }
        return found;
    }
    std::optional<XWin> waitBody() {
        return waitFor([&] { return body(); }, 20s);
    }
    // The balloon: the widest window the character owns (its notes' cards and editors are narrower).
    std::optional<XWin> balloon(const XWin& body) {
        std::optional<XWin> found;
        for (const XWin& w : desk_.windowsOf(pid_))
            if (w.transientFor == body.id && (!found || w.box.width() > found->box.width())) found = w;
        return found;
    }
    // Whether the balloon shows a line: white balloon pixels beside the character.
    bool balloonShowing(const XWin& body) {
        const auto b = balloon(body);
        if (!b || !b->mapped) return false;
        Box area = b->box;
        area.right = std::min(area.right, body.box.left);
        const Pixels p = desk_.grab(area);
        return std::count(p.rgb.begin(), p.rgb.end(), 0xFFFFFFu) >= 200;
    }
    // A menu: GTK keeps a mapped 1-by-1 helper window off the screen, a menu is on it. Under
    // Wine the balloon (shown without activation) is override-redirect too: it belongs to the body.
    std::optional<XWin> openMenuWindow() {
        const auto b = body();
        return desk_.find(pid_, [&](const XWin& w) {
            return w.mapped && w.overrideRedirect && !(b && w.transientFor == b->id) && w.box.width() > 1 &&
                   w.box.height() > 1 && w.box.right > 0 && w.box.bottom > 0;
        });
    }

    // A drawn pixel of the character nearest its middle (transparent pixels let the mouse through).
    std::pair<int, int> pointOn(const XWin& body) {
        const Pixels p = desk_.grab(body.box);
        const int cx = (body.box.left + body.box.right) / 2, cy = (body.box.top + body.box.bottom) / 2;
        std::pair<int, int> best{cx, cy};
        long bestDistance = -1;
        for (size_t i = 0; i < p.rgb.size(); ++i) {
            const int x = p.box.left + int(i) % p.box.width(), y = p.box.top + int(i) / p.box.width();
            const long d = long(x - cx) * (x - cx) + long(y - cy) * (y - cy);
            if (p.rgb[i] != 0 && (bestDistance < 0 || d < bestDistance)) bestDistance = d, best = {x, y};
        }
        return best;
    }
    // Clicks the point with the button (1: poke the character, 3: the menu of what is there,
    // returned once open).
    std::optional<XWin> clickAt(std::pair<int, int> at, int button = 3) {
        desk_.movePointer(at.first, at.second);
        xdotool("click " + std::to_string(button));
        if (button != 3) return std::nullopt;
        return waitFor([&] { return openMenuWindow(); }, 5s);
    }
    // Opens the menu at the point and picks an item by its access keys; true once the menu has
    // closed. A click lost on a busy machine is repeated.
    bool pickAt(std::pair<int, int> at, const std::string& keys) {
        for (int attempt = 0; attempt < 3; ++attempt) {
            if (!clickAt(at)) continue;
            xdotool("key " + keys);
            return waitFor([&] { return !openMenuWindow(); }, 5s);
        }
        return false;
    }
    bool pick(const XWin& body, const std::string& keys) { return pickAt(pointOn(body), keys); }

    std::optional<XWin> box(const std::string& caption, std::chrono::milliseconds limit = 10s) {
        const auto titled = [&](const XWin& w) { return w.mapped && w.title == caption; };
        return waitFor([&] { return desk_.find(pid_, titled); }, limit);
    }

private:
    Desktop& desk_;
    pid_t pid_ = -1;
    int code_ = -1;  // once it has ended
};

// For each test a fresh copy of the application folder (TAVI_APP_DIR, links copied as links)
// with the program just built (TAVI_EXE: "tavi", or "tavi.exe" when the Windows program is
// tested) in a temporary folder, and a desktop; the program's error output is shown when the
// test fails.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TAVI_EXE") || !std::getenv("TAVI_APP_DIR") || !std::getenv("DISPLAY"))
            GTEST_SKIP() << "needs TAVI_EXE, TAVI_APP_DIR and a display";
        const fs::path built = std::getenv("TAVI_EXE");
        fs::copy(std::getenv("TAVI_APP_DIR"), folder_, fs::copy_options::recursive | fs::copy_options::copy_symlinks);
        exe_ = folder_ / built.filename();
        fs::copy_file(built, exe_, fs::copy_options::overwrite_existing);
        fs::permissions(exe_, fs::perms::owner_all, fs::perm_options::add);
        // A run from the built folder itself leaves its state there; each test starts afresh.
        for (const char* left : {".state", ".config"}) fs::remove(folder_ / (exe_.stem().string() + left));
        fs::remove(folder_ / "error.log");
        desk_ = std::make_unique<Desktop>();
    }
    void TearDown() override {
        if (HasFailure()) std::cerr << "program's error output:\n" << readFile(root_ / "stderr.log") << "\n";
    }

    // A run of the program; with the preload (support/preload_posix.c), null when there is
    // none or for the Windows program.
    std::unique_ptr<AppProcess> start(std::vector<std::string> environment = {}, bool preload = false) {
        const char *shim = std::getenv("TAVI_PRELOAD"), *asan = std::getenv("ASAN_OPTIONS");
        if (preload && (shim == nullptr || runner() != nullptr)) return nullptr;
        if (preload) {
            // (A sanitizer build wants its own library loaded first.)
            environment.push_back("LD_PRELOAD=" + std::string(shim));
            environment.push_back("ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":verify_asan_link_order=0");
        }
        return std::make_unique<AppProcess>(*desk_, exe_, root_, environment);
    }
    fs::path statePath() const { return folder_ / (exe_.stem().string() + ".state"); }
    kiro::io::Ini state() const { return kiro::io::Ini(statePath().wstring()); }
    // The value under [user.preference] in the state file.
    std::string preference(const std::string& key) {
        return kiro::io::toUtf8(state()[L"user.preference"][kiro::io::fromUtf8(key)].getString(L"(none)"));
    }

    tavi::test::TempFolder temp_;
    const fs::path root_{temp_.path()}, folder_{root_ / "app"};
    fs::path exe_;
    std::unique_ptr<Desktop> desk_;
};

}  // namespace e2e
