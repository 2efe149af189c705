// A character's figure: its skin and motions, the balloon's lines and drawing, and the body
// window that ties them together, each asking for a tick exactly when what it shows changes.
#include "tavi/body/body.h"

#include <gtest/gtest.h>

#include "kiro/exception.h"
#include "kiro/ui/canvas.h"
#include "kiro/ui/loop.h"
#include "support/cases.h"
#include "support/unitfolder.h"
#include "tavi/body/skin.h"
#include "tavi/body/statusline.h"
#include "tavi/body/textbox.h"
#include "tavi/ticks.h"

namespace tavi {
namespace {

using kiro::ui::Canvas;
using kiro::ui::Rect;

class BodyTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(uitest::start()); }
    void writeSkin(const std::string& setup) {
        folder.addUnit("a", "{}");
        folder.write("units/a/body/setup.json", setup);  // pictures: wide.png 40 x 20, tall.png 10 x 60
    }
    std::unique_ptr<Body::Skin> skin(const std::string& setup) {
        writeSkin(setup);
        return std::make_unique<Body::Skin>(L"units\\a\\body\\", w, h, L"idle");
    }
    test::UnitFolder folder;
    int w = -1, h = -1;
};

// Ticks one at a time and checks that what is shown changes exactly when it said it would.
template <class Due, class Tick, class Changed>
void expectChangeExactlyWhenDue(Due ticksUntilDue, Tick tick, Changed changed, int changes) {
    for (int c = 0; c < changes; ++c) {
        const uint32_t due = ticksUntilDue();
        ASSERT_NE(due, NeverDue);
        for (uint32_t t = 1; t < due; ++t) {
            tick();
            ASSERT_FALSE(changed()) << "changed " << due - t << " ticks early";
        }
        tick();
        ASSERT_TRUE(changed()) << "nothing changed when due, after " << due << " ticks";
    }
}

// The skin of tests/data/skin/motions.json: "speak" names a missing picture, "ghost" only one.
TEST_F(BodyTest, SkinsSharePicturesNeedAUsableMotionAndChangePicturesExactlyWhenDue) {
    auto s = skin(test::readData("skin/motions.json"));
    EXPECT_EQ(std::tuple(s->imageCount(), w, h), std::tuple(2u, 40, 60));  // the largest size
    // The missing picture is left out of the motion; the shared one is the same canvas.
    ASSERT_EQ(s->motion(L"speak")->frames.size(), 2u);
    EXPECT_EQ(s->motion(L"speak")->frames[0], s->motion(L"idle")->frames[0]);
    EXPECT_TRUE(s->takeChanged() && !s->takeChanged());
    int ticks = 0;
    const Canvas* shown = s->currentFrame();
    // Pictures change only where a redraw is due (every 10 ticks), and only to another one.
    expectChangeExactlyWhenDue([&] { return s->ticksUntilChange(); }, [&] { s->update(TickSeconds), ++ticks; },
                               [&] {
                                   if (!s->takeChanged()) return false;
                                   EXPECT_NE(std::exchange(shown, s->currentFrame()), s->currentFrame());
                                   return ticks % 10 == 0;
                               },
                               30);

    s->play(L"ghost", true);  // no frames: the current motion goes on
    s->play(L"unknown", true);
    EXPECT_TRUE(s->currentName() == L"idle" && !s->takeChanged());
    s->play(L"speak", false);
    EXPECT_TRUE(s->takeChanged());
    s->update(0.3f);
    s->play(L"speak", false);  // already playing: nothing changes
    EXPECT_FALSE(s->takeChanged());
    EXPECT_NEAR(s->remaining(), 0.2f, 1e-4);
    s->play(L"speak", true);  // restart: full timeout again
    EXPECT_TRUE(s->takeChanged() && s->remaining() == 0.5f);
    for (const wchar_t* motion : {L"still", L"same"}) {
        s->play(motion, true);
        EXPECT_EQ(s->ticksUntilChange(), NeverDue) << motion;
    }
    // Skins without a usable motion. The last: one picture missing, the other (the skin file
    // itself) not a picture.
    for (const char* json : {R"({"motions": {}})", "{broken",
                             R"({"motions": {"idle": {"images": ["none.png"]}, "x": {"images": ["setup.json"]}}})"}) {
        try {
            skin(json);
            ADD_FAILURE() << "no exception for " << json;
        } catch (const kiro::Exception& e) {
            EXPECT_NE(std::string(e.what()).find("tavi::Body::Skin::Skin\n\nERROR_UnitImageNotfound"),
                      std::string::npos);
        }
    }
}

TEST(BalloonLines, LinesAreRevealedOneCharacterATickAndLeaveTogetherWhenDue) {
    EXPECT_EQ(BalloonLines::unescape(L"a\\\\nb"), L"a\nb");  // the pair becomes one backslash, which then breaks
    EXPECT_EQ(BalloonLines::unescape(L"c:\\\\x"), L"c:\\x");

    BalloonLines lines;
    float silence = -1;
    lines.update(TickSeconds);
    EXPECT_FALSE(lines.add(L""));
    EXPECT_TRUE(lines.isEmpty(&silence) && lines.ticksUntilDue() == NeverDue);
    EXPECT_NEAR(silence, TickSeconds, 1e-4);
    lines.add(L"0123456789");
    EXPECT_TRUE(!lines.isEmpty(&silence) && silence == 0.0f);
    for (size_t shown = 1; shown <= 10; ++shown) {
        EXPECT_EQ(lines.ticksUntilDue(), 1u);
        EXPECT_TRUE(lines.update(TickSeconds));
        EXPECT_EQ(lines.lines().back().revealed, shown);
    }
    // A second line cuts the first one's reveal short; both leave after the second's time.
    lines.add(L"abcdefghij");
    lines.update(TickSeconds);
    ASSERT_TRUE(lines.add(std::wstring(40, L'x')));
    EXPECT_EQ(std::pair(lines.lines()[1].revealed, lines.lines()[2].revealed), std::pair(size_t(10), size_t(0)));
    for (int i = 0; i < 40; ++i) lines.update(TickSeconds);
    EXPECT_FLOAT_EQ(lines.remaining(), 8.0f);  // (40 / 8 | 3) + 1 seconds
    bool changed = false;
    expectChangeExactlyWhenDue([&] { return lines.ticksUntilDue(); }, [&] { changed = lines.update(TickSeconds); },
                               [&] { return changed; }, 1);
    EXPECT_TRUE(lines.lines().empty());
    // Silence counts from the tick that emptied the balloon.
    EXPECT_TRUE(lines.isEmpty(&silence) && silence == 0.0f);
    lines.update(TickSeconds);
    lines.isEmpty(&silence);
    EXPECT_NEAR(silence, TickSeconds, 1e-4);
}

TEST_F(BodyTest, TheBalloonStandsBesideTheBodyWithSaneOffsetsAndDrawsNewLinesOverFadedOnes) {
    kiro::ui::Window owner(nullptr, kiro::ui::ws::Popup, 0);
    owner.setClientSize(200, 300);
    owner.moveTo(700, 300);
    Rect body{}, r{};
    owner.getWindowRect(body);
    const int middle = body.bottom - ((body.bottom - body.top) >> 1);
    auto balloon = [&](const std::string& setup) {
        writeSkin(setup);
        auto b = std::make_unique<Body::Textbox>(&owner, L"units\\a\\body\\");
        b->reposition();
        b->getWindowRect(r);
        return b;
    };
    balloon(R"({"textbox": {"x": -5, "y": 7}})");
    EXPECT_TRUE(r.right == body.left - 5 && r.bottom == middle + 7);
    balloon(R"({"textbox": {"x": 1e12, "y": -1e12}})");  // beyond any screen: 0
    EXPECT_TRUE(r.right == body.left && r.bottom == middle);
    EXPECT_TRUE(balloon(R"({"textbox": {"x": -5, "right": true}})")->right());
    EXPECT_EQ(r.left, body.right);

    // A broken setup gives the defaults; an empty balloon draws nothing and cannot be closed.
    auto b = balloon("{not json");
    Canvas canvas(400, 400);
    EXPECT_FALSE(b->right() || b->isVisible() || b->onClose() != 0 || b->onPaint(canvas) != 0);
    for (int y = 0; y < 400; y += 20)
        for (int x = 0; x < 400; x += 20) ASSERT_EQ(canvas.pixel(x, y) >> 24, 0u);

    // A line count that makes each balloon between 280 and 329 pixels high, so the newest
    // stands at 400 - h, the next at 340 - h (visible) and the third below 0.
    std::wstring text = L"あ";
    kiro::ui::Size size{};
    while (canvas.measureText(BalloonLines::unescape(text), &size, Body::Textbox::TextWidth), size.cy + 32 < 280)
        text += L"\\nあ";
    const int ch = size.cy + 32;
    ASSERT_LT(ch, 330);
    for (int i = 0; i < 4; ++i) b->add(text);
    EXPECT_TRUE(b->isVisible());
    b->onPaint(canvas);
    const int x = 400 - (size.cx + 64) / 2;                   // mid-balloon: they hug the side of the body
    EXPECT_EQ(canvas.pixel(x, 400 - ch / 2) >> 24, 255u);     // the newest, opaque
    const auto older = canvas.pixel(x, 400 - ch - 30) >> 24;  // the next older, faded
    EXPECT_TRUE(older > 150 && older < 200) << older;
    EXPECT_EQ(canvas.pixel(x, 2) >> 24, 0u);  // the third is not drawn
}

TEST_F(BodyTest, StandsByUntilTenSecondsOfSilenceSpeaksWithItsMotionAndWakesOnlyWhenDue) {
    folder.addUnit("a", "{}");
    Body body(nullptr, L"units\\a\\body\\", nullptr);
    ASSERT_TRUE(uitest::waitUntil([&] { return body.painted(); }));
    EXPECT_EQ(body.skin().currentName(), L"idle");
    EXPECT_EQ(body.ticksUntilDue(), 1u);  // the rest of the skin loads on the next tick
    body.update(TickSeconds);
    ASSERT_EQ(body.skin().currentName(), L"standby");
    auto tick = [&] { body.update(TickSeconds); };
    auto due = [&] { return body.ticksUntilDue(); };
    expectChangeExactlyWhenDue(
        due, tick, [&] { return body.skin().currentName() == L"idle"; }, 1);
    EXPECT_EQ(body.ticksUntilDue(), NeverDue);
    body.showStatus(L"x");
    expectChangeExactlyWhenDue(
        due, tick, [&] { return body.status().text().empty(); }, 1);
    EXPECT_EQ(body.ticksUntilDue(), NeverDue);

    body.speak(L"やあ", L"happy");
    EXPECT_TRUE(body.isSpeaking() && body.skin().currentName() == L"happy");
    body.speak(L"もう一度", L"no-such-motion");  // the text shows, the motion goes on
    EXPECT_TRUE(body.skin().currentName() == L"happy" && body.balloon().lines().lines().size() == 2);
    while (body.isSpeaking()) tick();
    tick();
    EXPECT_EQ(body.skin().currentName(), L"standby");

    // Closing the character ends the program's loop.
    uitest::every(50, [&] { return body.onClose(), false; });
    uitest::Rescue rescue(5000);
    kiro::ui::runLoop();
    EXPECT_FALSE(rescue.fired());
}

}  // namespace
}  // namespace tavi
