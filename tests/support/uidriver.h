// Drives the toolkit's windows in tests as a user would: the UI loop, synthetic pointer and
// keyboard input through the platform, and what the platform shows of menus and boxes.
// Tests use only this and the portable toolkit; uidriver.cpp holds the common half and
// uidriver_<platform>.cpp the rest.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kiro/ui/types.h"

namespace kiro::ui {
class Window;
}

namespace uitest {

// Starts the toolkit; false when there is no display.
bool start();
// A fixture for tests of windows: the toolkit started first.
struct Ui : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(start()) << "no display"; }
};

// Handles the UI thread's events for `ms` milliseconds, or until done() holds (returns done()).
void pump(int ms);
bool waitUntil(const std::function<bool()>& done, int ms = 5000);
// Runs action every `ms` milliseconds on the UI thread, inside nested loops too (menus, boxes),
// until it returns false.
void every(unsigned ms, std::function<bool()> action);

// Synthetic input, as the platform delivers a user's: each call returns once the platform
// has taken it, and the events arrive while the UI loop runs. Buttons: 1 left, 2 middle,
// 3 right. Key names: "Return", "Escape", "Tab", "space", "Up", "Down", "Left", "Right" or
// one character, with "ctrl+", "shift+" or "alt+" before it for a combination; several are
// separated by spaces.
void moveTo(int x, int y);          // returns once the pointer is there
void button(int which, bool down);  // pressed or released
void click(int button, int count = 1);
void wheel(int notches);  // positive: away from the user
void keys(const std::string& names);
// Raises the window and gives it the keyboard, as a click on its frame (Linux only so far).
void focus(kiro::ui::Window& window);
void type(const std::wstring& text);
// What the screen shows at the point, as 0xRRGGBB.
std::uint32_t screenPixel(int x, int y);

// The popup menu open now, as shown: its frame on the screen, its item labels (access keys
// as shown, without markers) and whether each can be chosen. Calls action once a menu is
// open, from the UI thread.
struct MenuSeen {
    kiro::ui::Rect frame{};
    std::vector<std::wstring> labels;
    std::vector<bool> usable;
};
void whenMenuOpen(std::function<void(const MenuSeen&)> action);

// A message box once it is open: records what it says, then clicks the button that gives
// `response` (IdOk, IdYes, ...) with the pointer. (Linux only so far: no Windows test asks.)
struct BoxSeen {
    bool seen = false;
    std::wstring caption;
    std::wstring text;
};
void answerBox(BoxSeen* seen, int response);
bool boxOpen();

// The labels of a window's menu bar (empty without one), and a click on one of its items.
std::vector<std::wstring> menuBar(kiro::ui::Window& window);
void clickMenuBar(kiro::ui::Window& window, size_t item);

// Presses Escape from a timer of the UI thread when the scope is still open after the time, so
// a test stalled inside a modal loop fails instead of hanging.
class Rescue {
public:
    explicit Rescue(int ms = 15000);
    ~Rescue();
    bool fired() const { return *state_ == 1; }

private:
    std::shared_ptr<int> state_;  // 0 waiting, 1 fired, 2 ended
};

// A file drop of these paths on the window, as the platform hands it over.
void dropFiles(kiro::ui::Window& window, const std::vector<std::wstring>& paths);

// Between the two halves: the platform's gives these, the common one clickCentre.
namespace backend {
bool step();  // handles the UI thread's pending events; false when there were none
void combination(const std::vector<std::string>& held);  // pressed in order, released in reverse
bool menuOpen(MenuSeen* seen);                           // the open popup menu, if any
void clickCentre(const kiro::ui::Rect& r);
}  // namespace backend

}  // namespace uitest
