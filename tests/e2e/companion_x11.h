// Whole-program tests: what a user sees of the running program (its character window, the
// speech balloon, the status line, the context menu, message boxes) and how a user drives it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "e2e/appprocess.h"
#include "e2e/xdesk_x11.h"

namespace e2e {

using namespace std::chrono_literals;

constexpr std::uint32_t White = 0xFFFFFF;
constexpr std::uint32_t StatusColor = 0xFFB4B4;  // the status line's text colour

inline bool near(std::uint32_t a, std::uint32_t b, int tolerance) {
    for (int shift : {0, 8, 16}) {
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance) return false;
    }
    return true;
}

class Companion {
public:
    Companion(Desktop& desk, AppProcess& process) : desk_(desk), process_(process) {}

    // The character window: a mapped window of the program without a title bar that is no
    // menu and belongs to no shown window (it may belong to the hidden main window; the
    // balloon belongs to it). Boxes have title bars.
    std::optional<XWin> body() {
        const auto all = desk_.windowsOf(process_.pid());
        for (const XWin& w : all) {
            if (!w.mapped || w.overrideRedirect || w.decorated) continue;
            const bool ownedByShown = std::any_of(all.begin(), all.end(), [&](const XWin& o) {
                return o.id == w.transientFor && o.mapped;
            });
            if (!ownedByShown) return w;
        }
        return std::nullopt;
    }

    std::optional<XWin> waitBody(std::chrono::milliseconds limit = 20s) {
        std::optional<XWin> found;
        waitFor([&] { return (found = body()).has_value(); }, limit);
        return found;
    }

    std::optional<XWin> balloon(const XWin& body) {
        return desk_.find(process_.pid(), [&](const XWin& w) { return w.transientFor == body.id; });
    }

    // Whether the balloon shows a line: white balloon pixels beside the character.
    bool balloonShowing(const XWin& body) {
        const auto b = balloon(body);
        if (!b || !b->mapped) return false;
        Box area = b->box;
        area.right = std::min(area.right, body.box.left);
        return desk_.grab(area).count([](std::uint32_t p) { return p == White; }) >= 200;
    }

    // Whether the status line ("initializing ...") is drawn over the character.
    bool statusShowing(const XWin& body) {
        return desk_.grab(body.box).count([](std::uint32_t p) { return near(p, StatusColor, 4); }) >= 15;
    }

    // A point on a drawn pixel of the character, as near its middle as possible (transparent
    // pixels let the mouse through).
    std::pair<int, int> pointOn(const XWin& body) {
        const Pixels p = desk_.grab(body.box);
        const int cx = (body.box.left + body.box.right) / 2;
        const int cy = (body.box.top + body.box.bottom) / 2;
        std::pair<int, int> best{cx, cy};
        long bestDistance = -1;
        for (int y = p.box.top; y < p.box.bottom; y += 2) {
            for (int x = p.box.left; x < p.box.right; x += 2) {
                if (p.at(x, y) == 0) continue;
                const long d = long(x - cx) * (x - cx) + long(y - cy) * (y - cy);
                if (bestDistance < 0 || d < bestDistance) {
                    bestDistance = d;
                    best = {x, y};
                }
            }
        }
        return best;
    }

    // Right-clicks the character and returns the menu window that opens.
    std::optional<XWin> openMenu(const XWin& body) {
        const auto [x, y] = pointOn(body);
        movePointer(x, y);
        xdotool("click 3");
        std::optional<XWin> menu;
        waitFor([&] { return (menu = openMenuWindow()).has_value(); }, 5s);
        return menu;
    }

    std::optional<XWin> openMenuWindow() {
        // GTK keeps a mapped 1-by-1 helper window off the screen; a menu is on it. Under Wine
        // the balloon (shown without activation) is override-redirect too: it belongs to the body.
        const Box screen = desk_.screen();
        const auto b = body();
        return desk_.find(process_.pid(), [&](const XWin& w) {
            return w.mapped && w.overrideRedirect && !(b && w.transientFor == b->id) && w.box.width() > 1 &&
                   w.box.height() > 1 && w.box.right > screen.left && w.box.left < screen.right &&
                   w.box.bottom > screen.top && w.box.top < screen.bottom;
        });
    }

    // Opens the menu and picks an item by its access key; true once the menu has closed.
    bool pick(const XWin& body, const std::string& key) {
        if (!openMenu(body)) return false;
        xdotool("key " + key);
        return waitFor([&] { return !openMenuWindow().has_value(); }, 5s);
    }

    // A left click on the character (the press and release raise its drag and drop events).
    void poke(const XWin& body) {
        const auto [x, y] = pointOn(body);
        movePointer(x, y);
        xdotool("click 1");
    }

    // Moves the pointer and waits until it is there (xdotool's own wait would sit out its
    // time-out when the pointer is there already).
    void movePointer(int x, int y) {
        const std::pair<int, int> target{x, y};
        if (desk_.pointer() == target) return;
        xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y));
        waitFor([&] { return desk_.pointer() == target; }, 2s, 10ms);
    }

    std::optional<XWin> box(const std::string& caption, std::chrono::milliseconds limit = 10s) {
        std::optional<XWin> found;
        waitFor(
            [&] {
                found = desk_.find(process_.pid(), [&](const XWin& w) { return w.mapped && w.title == caption; });
                return found.has_value();
            },
            limit);
        return found;
    }

    // The text of a message box, where the box gives it away: a GTK box's label is selectable,
    // and moving the keyboard focus onto it selects the whole text, which the box then offers
    // as the PRIMARY selection. A Windows box (under Wine) offers nothing: nullopt.
    std::optional<std::string> boxText(const XWin& box) {
        if (runner() != nullptr) return std::nullopt;
        xdotool("windowfocus --sync " + std::to_string(box.id));
        std::string text;
        for (int i = 0; i < 4; ++i) {
            xdotool("key shift+Tab");
            if (waitFor([&] { return !(text = desk_.primarySelection(500)).empty(); }, 1500ms)) return text;
        }
        return text;
    }

    void closeBox(const XWin& box) {
        xdotool("windowfocus --sync " + std::to_string(box.id));
        xdotool("key Escape");
    }

    // Saves a picture of the whole screen when TAVI_E2E_SHOTS names a folder, after `settle`
    // (time for a line to be revealed whole; only when pictures are taken).
    static void screenshot(const std::string& name, std::chrono::milliseconds settle = 0ms) {
        const char* folder = std::getenv("TAVI_E2E_SHOTS");
        if (folder == nullptr || *folder == '\0') return;
        std::this_thread::sleep_for(settle);
        std::system(("import -window root '" + std::string(folder) + "/" + name + ".png' 2>/dev/null").c_str());
    }

private:
    Desktop& desk_;
    AppProcess& process_;
};

// A fresh copy of the application folder and a desktop for each test; the program's error
// output is shown when the test fails.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!std::getenv("TAVI_EXE") || !std::getenv("TAVI_APP_DIR") || !std::getenv("DISPLAY")) {
            GTEST_SKIP() << "needs TAVI_EXE, TAVI_APP_DIR and a display";
        }
        copy_ = std::make_unique<AppCopy>();
        desk_ = std::make_unique<Desktop>();
    }
    void TearDown() override {
        if (HasFailure() && copy_) std::cerr << "program's error output:\n" << readFile(copy_->log()) << "\n";
        desk_.reset();
        copy_.reset();
    }

    std::unique_ptr<AppCopy> copy_;
    std::unique_ptr<Desktop> desk_;
};

}  // namespace e2e
