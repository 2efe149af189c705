// A window for the toolkit's tests that writes down which handlers ran, with their arguments.
#pragma once

#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "kiro/ui/canvas.h"
#include "kiro/ui/window.h"

namespace kiro::ui::test {

class Recorder : public Window {
public:
    using Window::Window;

    std::vector<std::string> log;
    std::function<LResult(std::uint32_t, WParam, LParam)> message;  // onMessage, if set
    LResult userResult = NotHandled;
    LResult closeResult = NotHandled;
    LResult hookedResult = NotHandled;
    std::function<void(Canvas&)> painter;  // onPaint draws with it and returns 0, if set
    std::vector<std::pair<int, int>> moves;
    std::vector<Rect> movings;
    std::vector<std::uint32_t> timerIds;

    int count(const std::string& entry) const { return int(std::count(log.begin(), log.end(), entry)); }
    bool has(const std::string& entry) const { return count(entry) > 0; }

    LResult onMessage(std::uint32_t msg, WParam w, LParam l) override {
        return message ? message(msg, w, l) : NotHandled;
    }
    LResult onUserMessage(std::uint32_t msg, WParam w, LParam) override {
        log.push_back("user " + std::to_string(msg) + " " + std::to_string(w));
        return userResult;
    }
    LResult onClose() override {
        log.push_back("close");
        return closeResult;
    }
    LResult onDestroy() override {
        log.push_back("destroy");
        return NotHandled;
    }
    LResult onPaint(Canvas& canvas) override {
        log.push_back("paint");
        if (!painter) return NotHandled;
        painter(canvas);
        return 0;
    }
    LResult onSize(const Size& s) override {
        log.push_back("size " + std::to_string(s.cx) + "x" + std::to_string(s.cy));
        return NotHandled;
    }
    LResult onMoving(Rect* r) override {
        movings.push_back(*r);
        log.push_back("moving");
        return 0;
    }
    LResult onMove(int x, int y) override {
        moves.emplace_back(x, y);
        return NotHandled;
    }
    LResult onFocus(bool gained) override {
        log.push_back(gained ? "focus" : "blur");
        return NotHandled;
    }
    LResult onClipboardUpdate() override {
        log.push_back("clipboard");
        return NotHandled;
    }
    LResult onDropFiles(const std::vector<std::wstring>& paths) override {
        log.push_back("drop " + std::to_string(paths.size()));
        return dropResult;
    }
    LResult dropResult = NotHandled;
    LResult onCommand(std::uint32_t id, std::uint32_t code) override {
        log.push_back("command " + std::to_string(id) + " " + std::to_string(code));
        return 0;
    }
    LResult onCommand(std::uint32_t id) override {
        log.push_back("menu " + std::to_string(id));
        return 0;
    }
    LResult onTimer(std::uint32_t id) override {
        timerIds.push_back(id);
        return 0;
    }
    LResult onKeyDown(std::uint32_t vk) override {
        log.push_back("keydown " + std::to_string(vk));
        return NotHandled;
    }
    LResult onChar(std::uint32_t ch) override {
        log.push_back("char " + std::to_string(ch));
        return NotHandled;
    }
    LResult onLButtonDblClk(int, int) override {
        log.push_back("dblclk");
        return NotHandled;
    }
    LResult onMouseOver(bool inside) override {
        log.push_back(inside ? "enter" : "leave");
        return NotHandled;
    }
    LResult onWheel(float notches) override {
        log.push_back("wheel " + std::to_string(int(notches)));
        return NotHandled;
    }
    LResult onSetCursor(std::uint32_t mouseMsg) override {
        lastCursorMessage = mouseMsg;
        return NotHandled;
    }
    LResult onHookedMessage(Window& source, std::uint32_t msg, WParam, LParam) override {
        hooked.emplace_back(&source, msg);
        return hookedResult;
    }

    std::uint32_t lastCursorMessage = 0;
    std::vector<std::pair<Window*, std::uint32_t>> hooked;
};

// Where a window stands and its client size, as pairs to compare in one check.
inline std::pair<int, int> placeOf(const Window& w) {
    Point p{};
    w.position(p);
    return {p.x, p.y};
}
inline std::pair<int, int> sizeOf(const Window& w) {
    Size s{};
    w.clientSize(s);
    return {s.cx, s.cy};
}
using XY = std::pair<int, int>;

}  // namespace kiro::ui::test
