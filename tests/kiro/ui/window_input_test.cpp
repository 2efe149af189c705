// Window input from the platform's pointer and keyboard: dragging, clicks, double clicks,
// pointer entry and exit, clicks through transparent pixels, wheel and keys.
#include <memory>

#include "kiro/ui/canvas.h"
#include "kiro/ui/window.h"
#include "support/recorder.h"
#include "support/uidriver.h"

namespace kiro::ui {

using test::Recorder;
using test::XY;
using WindowInput = uitest::Ui;

// A window that keeps its left edge at 230 or beyond while it is dragged.
struct Held : Recorder {
    using Recorder::Recorder;
    LResult onMoving(Rect* r) override {
        if (r->left < 230) {
            r->right += 230 - r->left;
            r->left = 230;
        }
        return Recorder::onMoving(r);
    }
};

// A shown window at (x, y) painted in one opaque colour.
template <class W = Recorder>
static std::unique_ptr<W> shown(int x, int y, Rgb colour, std::uint32_t exStyle = 0) {
    return test::shown<W>(x, y, 100, 100, exStyle, [colour](Canvas& c) { c.clear(colour); });
}

// The pointer moved through the points, the loop turned after each.
static void through(std::initializer_list<XY> points) {
    for (const auto& [x, y] : points) {
        uitest::moveTo(x, y);
        uitest::pump(80);
    }
}

TEST_F(WindowInput, ClicksReleaseOnceAndDragsMoveTheWindowStepByStepAsTheMovingHandlerAdjusts) {
    auto w = shown<Held>(200, 200, rgb(200, 0, 0), wsex::Layered);
    w->setDragMove(true);
    uitest::moveTo(220, 230);
    uitest::click(1);
    ASSERT_TRUE(w->saw("keydown 1"));
    uitest::pump(100);
    EXPECT_TRUE(w->count("down 20,30") == 1 && w->count("keydown 1") == 1);
    EXPECT_TRUE(w->movings.empty());  // a click on a draggable window moves nothing
    w->log.clear();
    uitest::moveTo(250, 250);
    uitest::press(1);
    through({{250, 250}, {270, 260}, {300, 290}});
    EXPECT_EQ(test::placeOf(*w), XY(250, 240));
    through({{180, 300}});                // would put the window at x = 130: held at 230
    EXPECT_EQ(w->count("keydown 1"), 0);  // no release while the button is held
    uitest::release(1);
    ASSERT_TRUE(w->saw("keydown 1"));
    uitest::pump(100);
    EXPECT_TRUE(test::placeOf(*w) == XY(230, 250) && w->moves.back() == XY(230, 250));
    EXPECT_TRUE(w->count("down 50,50") == 1 && w->count("keydown 1") == 1);
    ASSERT_GE(w->movings.size(), 2u);
    const Rect last = w->movings.back();
    EXPECT_EQ((std::vector<int>{last.left, last.top, last.right}), (std::vector<int>{230, 250, 330}));
}

TEST_F(WindowInput, EnterAndLeaveAreReportedOncePerVisitWhenTracked) {
    auto w = shown(600, 100, rgb(0, 0, 200));
    w->setTrackMouseLeave(true);
    for (int round = 1; round <= 2; ++round) {
        through({{10, 10}, {650, 150}});
        EXPECT_TRUE(w->saw("enter", round));
        through({{660, 160}, {800, 400}});
        EXPECT_TRUE(w->saw("leave", round));
        EXPECT_TRUE(w->count("enter") == round && w->count("leave") == round);
    }
    w->setTrackMouseLeave(false);
    w->log.clear();
    through({{650, 150}, {10, 10}});
    EXPECT_FALSE(w->has("enter") || w->has("leave"));
}

TEST_F(WindowInput, ClicksOnTransparentPixelsReachTheWindowBelow) {
    auto below = test::shown(100, 450, 200, 100, 0, [](Canvas& c) { c.clear(rgb(255, 255, 255)); });
    auto above = test::shown(100, 450, 200, 100, wsex::Layered, [](Canvas& c) {
        c.clear();
        c.setColor(rgb(0, 0, 255), 255);
        c.drawRect(Rect{100, 0, 200, 100}, true, 0);  // the left half stays transparent
    });
    uitest::moveTo(150, 500);
    uitest::click(1);
    EXPECT_TRUE(below->saw("down 50,50"));
    uitest::moveTo(250, 500);
    uitest::click(1);
    EXPECT_TRUE(above->saw("down 150,50"));
    EXPECT_FALSE(above->has("down 50,50") || below->has("down 150,50"));
}

TEST_F(WindowInput, DoubleClicksReplaceTheSecondPressAndWheelAndKeysArrive) {
    auto w = shown(700, 450, rgb(0, 120, 0));
    uitest::moveTo(750, 500);
    uitest::click(1, 2);
    ASSERT_TRUE(w->saw("dblclk"));
    uitest::pump(100);
    std::vector<std::string> mouse;
    for (const std::string& e : w->log)
        if (e != "focus" && e != "blur") mouse.push_back(e);  // focus may follow the pointer
    EXPECT_EQ(mouse, (std::vector<std::string>{"down 50,50", "keydown 1", "dblclk", "keydown 1"}));
    uitest::wheel(1);
    uitest::wheel(-1);
    EXPECT_TRUE(w->saw("wheel -1") && w->count("wheel 1") == 1);
    w->focus();
    EXPECT_TRUE(w->saw("focus"));
    uitest::pump(100);
    w->log.clear();
    uitest::keys("Escape a");
    EXPECT_TRUE(w->saw("char 97"));
    EXPECT_EQ(w->log, (std::vector<std::string>{"keydown 27", "char 27", "keydown 65", "char 97"}));
}

}  // namespace kiro::ui
