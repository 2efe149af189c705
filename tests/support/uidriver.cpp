// The UI driver's common half: waiting on the loop, clicks, key combinations, menus polled
// from the loop, and the rescue from a stalled modal loop.
#include <chrono>
#include <sstream>
#include <thread>

#include "kiro/ui/loop.h"
#include "support/uidriver.h"

namespace uitest {

bool start() {
    return kiro::ui::initializeToolkit();
}

void pump(int ms) {
    waitUntil([] { return false; }, ms);
}

bool waitUntil(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        if (!backend::step()) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void click(int button, int count) {
    for (int i = 0; i < count; ++i) {
        uitest::button(button, true);
        uitest::button(button, false);
    }
}

void keys(const std::string& names) {
    std::istringstream in(names);
    for (std::string combination; in >> combination;) {  // "ctrl+shift+u": modifiers around the key
        std::vector<std::string> held;
        for (size_t plus; (plus = combination.find('+')) != std::string::npos; combination.erase(0, plus + 1))
            held.push_back(combination.substr(0, plus));
        held.push_back(combination);
        backend::combination(held);
    }
}

void whenMenuOpen(std::function<void(const MenuSeen&)> action) {
    every(20, [action = std::move(action)] {
        MenuSeen menu;
        if (!backend::menuOpen(&menu)) return true;
        action(menu);
        return false;
    });
}

void backend::clickCentre(const kiro::ui::Rect& r) {
    moveTo((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    click(1);
}

Rescue::Rescue(int ms) : state_(std::make_shared<int>(0)) {
    every(unsigned(ms), [state = state_] {  // once
        if (*state == 0) {
            *state = 1;
            keys("Escape");
        }
        return false;
    });
}

Rescue::~Rescue() {
    if (*state_ == 0) *state_ = 2;
}

}  // namespace uitest
