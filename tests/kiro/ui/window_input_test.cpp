// Window input with the real pointer and keyboard (xdotool): dragging, clicks, double clicks,
// pointer entry and exit, clicks through transparent pixels, wheel and keys.
#include <gtest/gtest.h>

#include <memory>

#include "kiro/ui/canvas.h"
#include "kiro/ui/window.h"
#include "pump.h"
#include "recorder.h"

namespace kiro::ui {
namespace {

using test::pump;
using test::pumpUntil;
using test::Recorder;
using test::xdotool;

// A shown window at (x, y) whose client area is painted in one opaque colour.
std::unique_ptr<Recorder> solidWindow(int x, int y, int w, int h, Rgb colour,
                                      std::uint32_t exStyle = wsex::Layered) {
    auto win = std::make_unique<Recorder>(nullptr, ws::Popup, exStyle);
    win->painter = [colour](Canvas& c) { c.clear(colour); };
    win->moveTo(x, y);
    win->setClientSize(w, h);
    win->show();
    Recorder* raw = win.get();
    EXPECT_TRUE(pumpUntil([raw] { return raw->has("paint"); }));
    pump(150);
    return win;
}

// Records the raw presses the window receives.
void logPresses(Recorder& w) {
    w.message = [&w](std::uint32_t msg, WParam, LParam l) -> LResult {
        if (msg == wm::LButtonDown)
            w.log.push_back("down " + std::to_string(loWord(l)) + "," + std::to_string(hiWord(l)));
        return NotHandled;
    };
}

TEST(WindowInput, DraggingMovesTheWindowReportsEachStepAndReleasesOnce) {
    auto w = solidWindow(200, 200, 100, 100, rgb(200, 0, 0));
    w->setDragMove(true);
    logPresses(*w);
    xdotool("mousemove 250 250");
    xdotool("mousedown 1");
    xdotool("mousemove 270 260");
    xdotool("mousemove 300 290");
    EXPECT_EQ(w->count("keydown 1"), 0);  // no release while the button is held
    xdotool("mouseup 1");
    ASSERT_TRUE(pumpUntil([&] { return w->count("keydown 1") >= 1; }));
    pump(100);
    Point p{};
    w->position(p);
    EXPECT_EQ(p.x, 250);
    EXPECT_EQ(p.y, 240);
    EXPECT_EQ(w->count("down 50,50"), 1);
    EXPECT_EQ(w->count("keydown 1"), 1);
    ASSERT_GE(w->movings.size(), 2u);
    EXPECT_EQ(w->movings.back().left, 250);
    EXPECT_EQ(w->movings.back().top, 240);
    EXPECT_EQ(w->movings.back().right, 350);
    EXPECT_EQ(w->moves.back(), std::make_pair(250, 240));
}

TEST(WindowInput, AClickOnADraggableWindowStillReleasesOnce) {
    auto w = solidWindow(200, 200, 100, 100, rgb(0, 200, 0));
    w->setDragMove(true);
    logPresses(*w);
    xdotool("mousemove 220 230 click 1");
    ASSERT_TRUE(pumpUntil([&] { return w->count("keydown 1") >= 1; }));
    pump(100);
    EXPECT_EQ(w->count("down 20,30"), 1);
    EXPECT_EQ(w->count("keydown 1"), 1);
    EXPECT_TRUE(w->movings.empty());
    Point p{};
    w->position(p);
    EXPECT_EQ(p.x, 200);
}

// A body that keeps an owned balloon beside it while it is dragged.
struct Body : Recorder {
    Body() : Recorder(nullptr, ws::Popup, wsex::Layered) {}
    Window* balloon = nullptr;
    LResult onMoving(Rect* r) override {
        // Keep the body out of the screen's left 100 pixels, and the balloon to its left.
        if (r->left < 100) {
            r->right += 100 - r->left;
            r->left = 100;
        }
        balloon->moveTo(r->left - balloon->width(), r->top);
        return 0;
    }
};

TEST(WindowInput, MovingHandlersCanAdjustTheStepAndMoveOwnedWindows) {
    Body body;
    body.painter = [](Canvas& c) { c.clear(rgb(90, 90, 200)); };
    body.moveTo(400, 300);
    body.setClientSize(80, 80);
    Recorder balloon(&body, ws::Popup, wsex::Layered);
    balloon.painter = [](Canvas& c) { c.clear(rgb(255, 255, 255)); };
    balloon.setClientSize(60, 40);
    balloon.moveTo(340, 300);
    body.balloon = &balloon;
    body.setDragMove(true);
    body.show();
    balloon.show();
    pump(200);
    xdotool("mousemove 420 320 mousedown 1");
    xdotool("mousemove 380 340");
    Point b{}, l{};
    body.position(b);
    balloon.position(l);
    EXPECT_EQ(b.x, 360);
    EXPECT_EQ(b.y, 320);
    EXPECT_EQ(l.x, 300);  // the balloon follows during the drag
    EXPECT_EQ(l.y, 320);
    xdotool("mousemove 300 340");  // would put the body at x = 280
    xdotool("mousemove 100 350");  // would put it at x = 80: held at 100
    xdotool("mouseup 1");
    pump(100);
    body.position(b);
    balloon.position(l);
    EXPECT_EQ(b.x, 100);
    EXPECT_EQ(b.y, 330);
    EXPECT_EQ(l.x, 40);
    EXPECT_EQ(body.count("keydown 1"), 1);
}

TEST(WindowInput, EnterAndLeaveAreReportedOncePerVisit) {
    auto w = solidWindow(600, 100, 100, 100, rgb(0, 0, 200), 0);
    w->setTrackMouseLeave(true);
    xdotool("mousemove 10 10");
    xdotool("mousemove 650 150");
    xdotool("mousemove 660 160");
    xdotool("mousemove 670 170");
    EXPECT_EQ(w->count("enter"), 1);
    EXPECT_EQ(w->count("leave"), 0);
    xdotool("mousemove 800 400");
    EXPECT_EQ(w->count("enter"), 1);
    EXPECT_EQ(w->count("leave"), 1);
    xdotool("mousemove 640 140");
    xdotool("mousemove 641 141");
    EXPECT_EQ(w->count("enter"), 2);
    xdotool("mousemove 10 10");
    EXPECT_EQ(w->count("leave"), 2);
    // Without the flag nothing is reported.
    w->setTrackMouseLeave(false);
    w->log.clear();
    xdotool("mousemove 650 150");
    xdotool("mousemove 651 151");
    xdotool("mousemove 10 10");
    EXPECT_EQ(w->count("enter"), 0);
    EXPECT_EQ(w->count("leave"), 0);
}

TEST(WindowInput, ClicksOnTransparentPixelsReachTheWindowBelow) {
    auto below = solidWindow(100, 450, 200, 100, rgb(255, 255, 255), 0);
    logPresses(*below);
    auto above = std::make_unique<Recorder>(nullptr, ws::Popup, wsex::Layered);
    above->painter = [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 0, 255), 255);
        c.drawRect(Rect{100, 0, 200, 100}, true, 0);  // left half stays transparent
    };
    above->moveTo(100, 450);
    above->setClientSize(200, 100);
    above->show();
    ASSERT_TRUE(pumpUntil([&] { return above->has("paint"); }));
    pump(150);
    logPresses(*above);
    xdotool("mousemove 150 500 click 1");
    pump(100);
    EXPECT_EQ(below->count("down 50,50"), 1);
    EXPECT_EQ(above->count("down 50,50"), 0);
    xdotool("mousemove 250 500 click 1");
    pump(100);
    EXPECT_EQ(above->count("down 150,50"), 1);
    EXPECT_EQ(below->count("down 150,50"), 0);
}

TEST(WindowInput, DoubleClicksReplaceTheSecondPress) {
    auto w = solidWindow(700, 450, 100, 100, rgb(0, 120, 0), 0);
    logPresses(*w);
    w->log.clear();
    xdotool("mousemove 750 500 click --repeat 2 --delay 80 1");
    ASSERT_TRUE(pumpUntil([&] { return w->count("keydown 1") == 2; }));
    pump(100);
    std::vector<std::string> mouse;
    for (const std::string& e : w->log)
        if (e != "focus" && e != "blur") mouse.push_back(e);  // focus follows the pointer here
    EXPECT_EQ(mouse, (std::vector<std::string>{"down 50,50", "keydown 1", "dblclk", "keydown 1"}));
}

TEST(WindowInput, WheelAndKeys) {
    auto w = solidWindow(700, 100, 100, 100, rgb(120, 0, 0), 0);
    xdotool("mousemove 750 150 click 4");
    xdotool("click 5");
    EXPECT_EQ(w->count("wheel 1"), 1);
    EXPECT_EQ(w->count("wheel -1"), 1);
    w->focus();
    pump(100);
    w->log.clear();
    xdotool("key Escape");
    xdotool("key a");
    EXPECT_EQ(w->log, (std::vector<std::string>{"keydown 27", "char 27", "keydown 65", "char 97"}));
}

}  // namespace
}  // namespace kiro::ui
