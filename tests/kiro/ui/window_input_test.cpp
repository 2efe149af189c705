// Window input from the platform's pointer and keyboard: dragging, clicks, double clicks,
// pointer entry and exit, clicks through transparent pixels, wheel and keys.
#include <gtest/gtest.h>

#include <memory>

#include "kiro/ui/canvas.h"
#include "kiro/ui/window.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {
namespace {

using test::Recorder;
using test::XY;

// A shown window at (x, y) painted in one opaque colour (or by `painter`), logging presses.
std::unique_ptr<Recorder> shown(Window* owner, int x, int y, int w, int h, Rgb colour,
                                std::uint32_t exStyle = wsex::Layered) {
    auto win = std::make_unique<Recorder>(owner, ws::Popup, exStyle);
    win->painter = [colour](Canvas& c) { c.clear(colour); };
    win->message = [raw = win.get()](std::uint32_t msg, WParam, LParam l) -> LResult {
        if (msg == wm::LButtonDown)
            raw->log.push_back("down " + std::to_string(loWord(l)) + "," + std::to_string(hiWord(l)));
        return NotHandled;
    };
    win->moveTo(x, y);
    win->setClientSize(w, h);
    win->show();
    EXPECT_TRUE(uitest::waitUntil([raw = win.get()] { return raw->has("paint"); }));
    uitest::pump(100);
    win->log.clear();
    return win;
}

// Input, then the loop turned until the window has seen `until` n times (or a short while).
void act(const std::function<void()>& input, Recorder& w, const std::string& until = "", int n = 1) {
    input();
    if (until.empty())
        uitest::pump(80);
    else
        EXPECT_TRUE(uitest::waitUntil([&] { return w.count(until) >= n; })) << until;
}

class WindowInput : public ::testing::Test {
protected:
    void SetUp() override {
        if (!uitest::start()) GTEST_SKIP() << "no display";
    }
};

TEST_F(WindowInput, ClicksReleaseOnceAndDragsMoveTheWindowStepByStep) {
    auto w = shown(nullptr, 200, 200, 100, 100, rgb(200, 0, 0));
    w->setDragMove(true);
    act(
        [] {
            uitest::moveTo(220, 230);
            uitest::click(1);
        },
        *w, "keydown 1");
    uitest::pump(100);
    EXPECT_EQ(w->count("down 20,30"), 1);
    EXPECT_EQ(w->count("keydown 1"), 1);
    EXPECT_TRUE(w->movings.empty());  // a click on a draggable window moves nothing
    w->log.clear();
    act(
        [] {
            uitest::moveTo(250, 250);
            uitest::press(1);
        },
        *w);
    act([] { uitest::moveTo(270, 260); }, *w);
    act([] { uitest::moveTo(300, 290); }, *w);
    EXPECT_EQ(w->count("keydown 1"), 0);  // no release while the button is held
    act([] { uitest::release(1); }, *w, "keydown 1");
    uitest::pump(100);
    EXPECT_EQ(test::placeOf(*w), XY(250, 240));
    EXPECT_EQ(w->count("down 50,50"), 1);
    EXPECT_EQ(w->count("keydown 1"), 1);
    ASSERT_GE(w->movings.size(), 2u);
    const Rect last = w->movings.back();
    EXPECT_EQ((std::vector<int>{last.left, last.top, last.right}), (std::vector<int>{250, 240, 350}));
    EXPECT_EQ(w->moves.back(), XY(250, 240));
}

// A body that keeps an owned balloon beside it while it is dragged, and out of the left edge.
struct Body : Recorder {
    Body() : Recorder(nullptr, ws::Popup, wsex::Layered) {}
    Window* balloon = nullptr;
    LResult onMoving(Rect* r) override {
        if (r->left < 100) {
            r->right += 100 - r->left;
            r->left = 100;
        }
        balloon->moveTo(r->left - balloon->width(), r->top);
        return 0;
    }
};

TEST_F(WindowInput, MovingHandlersAdjustTheStepAndMoveOwnedWindows) {
    Body body;
    body.painter = [](Canvas& c) { c.clear(rgb(90, 90, 200)); };
    body.moveTo(400, 300);
    body.setClientSize(80, 80);
    body.setDragMove(true);
    body.show();
    auto balloon = shown(&body, 340, 300, 60, 40, rgb(255, 255, 255));
    body.balloon = balloon.get();
    act(
        [] {
            uitest::moveTo(420, 320);
            uitest::press(1);
        },
        body);
    act([] { uitest::moveTo(380, 340); }, body);
    EXPECT_EQ(test::placeOf(body), XY(360, 320));
    EXPECT_EQ(test::placeOf(*balloon), XY(300, 320));  // the balloon follows during the drag
    act([] { uitest::moveTo(300, 340); }, body);
    act([] { uitest::moveTo(100, 350); }, body);  // would put the body at x = 80: held at 100
    act([] { uitest::release(1); }, body, "keydown 1");
    EXPECT_EQ(test::placeOf(body), XY(100, 330));
    EXPECT_EQ(test::placeOf(*balloon).first, 40);
    EXPECT_EQ(body.count("keydown 1"), 1);
}

TEST_F(WindowInput, EnterAndLeaveAreReportedOncePerVisitWhenTracked) {
    auto w = shown(nullptr, 600, 100, 100, 100, rgb(0, 0, 200), 0);
    w->setTrackMouseLeave(true);
    for (int round = 1; round <= 2; ++round) {
        act([] { uitest::moveTo(10, 10); }, *w);
        act([] { uitest::moveTo(650, 150); }, *w, "enter", round);
        act([] { uitest::moveTo(660, 160); }, *w);
        act([] { uitest::moveTo(800, 400); }, *w, "leave", round);
        EXPECT_EQ(w->count("enter"), round);
        EXPECT_EQ(w->count("leave"), round);
    }
    w->setTrackMouseLeave(false);
    w->log.clear();
    act([] { uitest::moveTo(650, 150); }, *w);
    act([] { uitest::moveTo(10, 10); }, *w);
    EXPECT_FALSE(w->has("enter") || w->has("leave"));
}

TEST_F(WindowInput, ClicksOnTransparentPixelsReachTheWindowBelow) {
    auto below = shown(nullptr, 100, 450, 200, 100, rgb(255, 255, 255), 0);
    auto above = shown(nullptr, 100, 450, 200, 100, 0);
    above->painter = [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 0, 255), 255);
        c.drawRect(Rect{100, 0, 200, 100}, true, 0);  // the left half stays transparent
    };
    above->invalidate();
    uitest::pump(200);
    act(
        [] {
            uitest::moveTo(150, 500);
            uitest::click(1);
        },
        *below, "down 50,50");
    act(
        [] {
            uitest::moveTo(250, 500);
            uitest::click(1);
        },
        *above, "down 150,50");
    EXPECT_FALSE(above->has("down 50,50") || below->has("down 150,50"));
}

TEST_F(WindowInput, DoubleClicksReplaceTheSecondPressAndWheelAndKeysArrive) {
    auto w = shown(nullptr, 700, 450, 100, 100, rgb(0, 120, 0), 0);
    w->log.clear();
    act(
        [] {
            uitest::moveTo(750, 500);
            uitest::click(1, 2);
        },
        *w, "dblclk");
    uitest::pump(100);
    std::vector<std::string> mouse;
    for (const std::string& e : w->log)
        if (e != "focus" && e != "blur") mouse.push_back(e);  // focus may follow the pointer
    EXPECT_EQ(mouse, (std::vector<std::string>{"down 50,50", "keydown 1", "dblclk", "keydown 1"}));
    act(
        [] {
            uitest::wheel(1);
            uitest::wheel(-1);
        },
        *w, "wheel -1");
    EXPECT_EQ(w->count("wheel 1"), 1);
    w->focus();
    uitest::pump(100);
    w->log.clear();
    act([] { uitest::keys("Escape a"); }, *w, "char 97");
    EXPECT_EQ(w->log, (std::vector<std::string>{"keydown 27", "char 27", "keydown 65", "char 97"}));
}

}  // namespace
}  // namespace kiro::ui
