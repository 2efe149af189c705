// The speech balloon window: placement beside the body and how stacked lines are drawn.
#include "tavi/body/textbox.h"

#include <gtest/gtest.h>

#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"
#include "support/tempfolder.h"

namespace tavi {
namespace {

using kiro::ui::Canvas;
using kiro::ui::Rect;

class TextboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kiro::ui::initializeToolkit());
        owner = std::make_unique<kiro::ui::Window>(nullptr, kiro::ui::ws::Popup, 0);
        owner->setClientSize(200, 300);
        owner->moveTo(700, 300);
    }
    std::unique_ptr<Body::Textbox> makeBalloon(const std::string& setup) {
        test::writeBytes(folder / L"setup.json", setup);
        return std::make_unique<Body::Textbox>(owner.get(), folder.path());
    }
    static int alphaAt(const Canvas& c, int x, int y) { return int(c.pixel(x, y) >> 24); }

    test::TempFolder folder;
    std::unique_ptr<kiro::ui::Window> owner;
};

TEST_F(TextboxTest, StandsLeftOfTheBodyWithOffsetsOrRightIgnoringX) {
    Rect body{};
    owner->getWindowRect(body);
    Rect r{};

    auto left = makeBalloon(R"({"textbox": {"x": -5, "y": 7}})");
    left->reposition();
    left->getWindowRect(r);
    EXPECT_EQ(r.right, body.left - 5);
    EXPECT_EQ(r.bottom, body.bottom - ((body.bottom - body.top) >> 1) + 7);

    auto right = makeBalloon(R"({"textbox": {"x": -5, "y": 7, "right": true, "sound": "x.wav"}})");
    right->reposition();
    right->getWindowRect(r);
    EXPECT_EQ(r.left, body.right);
    EXPECT_TRUE(right->right());
}

TEST_F(TextboxTest, MissingOrBrokenSetupGivesTheDefaultsAndAnEmptyBalloonDrawsNothing) {
    auto balloon = makeBalloon("{not json");
    EXPECT_FALSE(balloon->right());
    EXPECT_TRUE(balloon->isEmpty());
    EXPECT_FALSE(balloon->isVisible());
    EXPECT_EQ(balloon->onClose(), 0);  // the balloon cannot be closed

    Canvas canvas(400, 400);
    EXPECT_EQ(balloon->onPaint(canvas), 0);
    for (int y = 0; y < 400; y += 20)
        for (int x = 0; x < 400; x += 20) ASSERT_EQ(alphaAt(canvas, x, y), 0);
}

TEST_F(TextboxTest, NewestLineIsOpaqueOlderOnesFadeAndThoseAboveTheTopAreLeftOut) {
    auto balloon = makeBalloon("{}");
    // Pick a line count that makes each balloon between 280 and 329 pixels high, so the
    // newest stands at 400 - h, the next at 340 - h (visible) and the third below 0.
    std::wstring text = L"あ";
    Canvas probe(400, 400);
    kiro::ui::Size size{};
    for (int i = 0; i < 60; ++i) {
        probe.measureText(BalloonLines::unescape(text), &size, Body::Textbox::TextWidth);
        if (size.cy + 32 >= 280) break;
        text += L"\\nあ";
    }
    probe.measureText(BalloonLines::unescape(text), &size,
                      Body::Textbox::TextWidth);
    const int ch = size.cy + 32;
    ASSERT_GE(ch, 280);
    ASSERT_LT(ch, 330);

    for (int i = 0; i < 4; ++i) balloon->add(text);
    EXPECT_TRUE(balloon->isVisible());
    Canvas canvas(400, 400);
    balloon->onPaint(canvas);

    const int x = 400 - (size.cx + 64) / 2;  // mid-balloon: they hug the side of the body
    EXPECT_EQ(alphaAt(canvas, x, 400 - ch / 2), 255);           // the newest, opaque
    const int older = alphaAt(canvas, x, 400 - ch - 30);         // the next older, faded
    EXPECT_GT(older, 150);
    EXPECT_LT(older, 200);
    EXPECT_EQ(alphaAt(canvas, x, 2), 0);                         // the third is not drawn
}

}  // namespace
}  // namespace tavi
