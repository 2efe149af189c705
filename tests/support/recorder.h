// A window for the toolkit's tests that writes down which handlers ran, with their arguments
// (and where the left button went down), and a way to put one on the screen.
#pragma once

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "kiro/ui/canvas.h"
#include "kiro/ui/window.h"
#include "support/uidriver.h"

namespace kiro::ui::test {

using XY = std::pair<int, int>;

class Recorder : public Window {
public:
    using Window::Window;

    std::vector<std::string> log;
    std::function<LResult(std::uint32_t, WParam, LParam)> message;  // onMessage, if set
    std::function<void(Canvas&)> painter;                           // onPaint draws with it, if set
    std::map<std::string, LResult> results;  // what the user, close, hooked and drop handlers return, if set
    std::vector<XY> moves;
    std::vector<Rect> movings;
    int leftmost = -100000;                       // where onMoving holds the left edge
    std::string name;                             // in the journal
    std::vector<std::string>* journal = nullptr;  // where every window notes, if set

    int count(const std::string& entry) const { return int(std::count(log.begin(), log.end(), entry)); }
    LResult result(const std::string& h) const { return results.count(h) ? results.at(h) : NotHandled; }
    // Whether the window comes to have seen `entry` n times while the loop runs.
    bool saw(const std::string& entry, int n = 1) {
        return uitest::waitUntil([&] { return count(entry) >= n; });
    }

    LResult onMessage(std::uint32_t msg, WParam w, LParam l) override {
        if (msg == wm::LButtonDown) note("down " + std::to_string(loWord(l)) + "," + std::to_string(hiWord(l)));
        return message ? message(msg, w, l) : NotHandled;
    }
    LResult onUserMessage(std::uint32_t msg, WParam w, LParam) override {
        return note("user " + std::to_string(msg) + " " + std::to_string(w), result("user"));
    }
    LResult onClose() override { return note("close", result("close")); }
    LResult onDestroy() override { return note("destroy"); }
    LResult onPaint(Canvas& canvas) override {
        if (painter) painter(canvas);
        return note("paint", painter ? 0 : NotHandled);
    }
    LResult onSize(const Size& s) override { return note("size " + std::to_string(s.cx) + "x" + std::to_string(s.cy)); }
    LResult onMoving(Rect* r) override {
        if (r->left < leftmost) {  // kept at leftmost or beyond
            r->right += leftmost - r->left;
            r->left = leftmost;
        }
        return movings.push_back(*r), note("moving", 0);
    }
    LResult onMove(int x, int y) override { return moves.emplace_back(x, y), NotHandled; }
    LResult onFocus(bool gained) override { return note(gained ? "focus" : "blur"); }
    LResult onClipboardUpdate() override { return note("clipboard"); }
    LResult onDropFiles(const std::vector<std::wstring>& p) override {
        return note("drop " + std::to_string(p.size()), result("drop"));
    }
    LResult onCommand(std::uint32_t id, std::uint32_t code) override {
        return note("command " + std::to_string(id) + " " + std::to_string(code), 0);
    }
    LResult onCommand(std::uint32_t id) override { return note("menu " + std::to_string(id), 0); }
    LResult onTimer(std::uint32_t id) override { return note("timer " + std::to_string(id), 0); }
    LResult onKeyDown(std::uint32_t vk) override { return note("keydown " + std::to_string(vk)); }
    LResult onChar(std::uint32_t ch) override { return note("char " + std::to_string(ch)); }
    LResult onLButtonDblClk(int, int) override { return note("dblclk"); }
    LResult onMouseOver(bool inside) override { return note(inside ? "enter" : "leave"); }
    LResult onWheel(float notches) override { return note("wheel " + std::to_string(int(notches))); }
    LResult onSetCursor(std::uint32_t mouseMsg) override { return note("cursor " + std::to_string(mouseMsg)); }
    LResult onHookedMessage(Window& source, std::uint32_t msg, WParam, LParam) override {
        return note("hooked " + std::to_string(msg) + " of " + static_cast<Recorder&>(source).name, result("hooked"));
    }

private:
    LResult note(const std::string& entry, LResult result = NotHandled) {
        if (journal) journal->push_back(name + ": " + entry);
        return log.push_back(entry), result;
    }
};

// A shown window at (x, y) with that client size, painting with painter, once painted.
inline std::unique_ptr<Recorder> shown(int x, int y, int w, int h, std::uint32_t exStyle,
                                       std::function<void(Canvas&)> painter) {
    auto win = std::make_unique<Recorder>(nullptr, ws::Popup, exStyle);
    win->painter = std::move(painter);
    win->moveTo(x, y);
    win->setClientSize(w, h);
    win->show();
    EXPECT_TRUE(win->saw("paint"));
    uitest::pump(300);
    win->log.clear();
    return win;
}

// Where a window stands and its client size.
inline XY placeOf(const Window& w) {
    Point p{};
    w.position(p);
    return {p.x, p.y};
}
inline XY sizeOf(const Window& w) {
    Size s{};
    w.clientSize(s);
    return {s.cx, s.cy};
}

}  // namespace kiro::ui::test
