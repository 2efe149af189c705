// The UI driver's common half: waiting on the loop, clicks, key combinations, menus and boxes
// polled from the loop, and the rescue from a stalled modal loop.
#include <atomic>
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
        press(button);
        release(button);
    }
}

static void sendKeys(const std::string& names, bool anyThread) {
    std::istringstream in(names);
    for (std::string combination; in >> combination;) {  // "ctrl+shift+u": modifiers around the key
        std::vector<std::string> held;
        for (size_t plus; (plus = combination.find('+')) != std::string::npos; combination.erase(0, plus + 1))
            held.push_back(combination.substr(0, plus));
        held.push_back(combination);
        backend::combination(held, anyThread);
    }
}

void keys(const std::string& names) {
    sendKeys(names, false);
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

void answerBox(BoxSeen* seen, int response) {
    every(20, [seen, response] { return !backend::clickBox(seen, response); });
}

struct Rescue::State {
    std::atomic<bool> done{false};
    std::atomic<bool> fired{false};
    std::thread thread;
};

Rescue::Rescue(int ms) : state_(new State) {
    state_->thread = std::thread([s = state_, ms] {
        for (int t = 0; t < ms && !s->done; t += 20) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        if (s->done) return;
        s->fired = true;
        sendKeys("Escape", true);
    });
}

Rescue::~Rescue() {
    state_->done = true;
    state_->thread.join();
    delete state_;
}

bool Rescue::fired() const {
    return state_->fired;
}

}  // namespace uitest
