// What a character asks of the main window's tick: no tick before its picture, balloon or
// status line next changes, one per character while a line is revealed; and the balloon
// following the body wherever it is moved.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <string>

#include "kiro/ui/loop.h"
#include "support/uidriver.h"
#include "support/unitfolder.h"
#include "tavi/body/body.h"
#include "tavi/body/skin.h"
#include "tavi/body/statusline.h"
#include "tavi/body/textbox.h"
#include "tavi/ticks.h"

namespace tavi {
namespace {

class DueTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(kiro::ui::initializeToolkit()); }
    test::UnitFolder folder;
};

// Ticks one at a time and checks that what is shown changes exactly when it said it would.
template <class Thing, class Tick, class Changed>
void expectChangeExactlyWhenDue(Thing& thing, Tick tick, Changed changed, int changes) {
    for (int c = 0; c < changes; ++c) {
        const uint32_t due = thing.ticksUntilDue();
        ASSERT_NE(due, NeverDue);
        for (uint32_t t = 1; t < due; ++t) {
            tick();
            ASSERT_FALSE(changed()) << "changed " << due - t << " ticks early";
        }
        tick();
        ASSERT_TRUE(changed()) << "nothing changed when due, after " << due << " ticks";
    }
}

TEST_F(DueTest, AStillCharacterAsksForNoTickBeforeItsPictureChanges) {
    folder.addUnit("a", "{}");
    folder.write("units/a/body/setup.json", R"({"motions": {
        "idle": {"timeout": 0.5, "images": ["wide.png", "wide.png", "wide.png", "tall.png"]},
        "still": {"timeout": 0, "images": ["wide.png", "tall.png"]},
        "same": {"timeout": 0.1, "images": ["tall.png", "tall.png"]}}})");
    int w = 0, h = 0;
    Body::Skin skin(L"units\\a\\body\\", w, h, L"idle");
    struct Probe {
        Body::Skin& skin;
        uint32_t ticksUntilDue() const { return skin.ticksUntilChange(); }
    } probe{skin};
    int ticks = 0;
    skin.takeChanged();
    expectChangeExactlyWhenDue(probe, [&] { skin.update(TickSeconds), ++ticks; },
                               [&] {
                                   // Pictures change only where a redraw is due, every 10 ticks.
                                   const bool changed = skin.takeChanged();
                                   if (changed) {
                                       EXPECT_EQ(ticks % 10, 0);
                                   }
                                   return changed;
                               },
                               30);
    for (const wchar_t* motion : {L"still", L"same"}) {
        skin.play(motion, true);
        EXPECT_EQ(skin.ticksUntilChange(), NeverDue) << motion;
    }
}

TEST_F(DueTest, ALineIsRevealedOneCharacterPerTickThenGoesWhenDue) {
    BalloonLines lines;
    EXPECT_EQ(lines.ticksUntilDue(), NeverDue);
    lines.add(L"0123456789");
    for (size_t shown = 1; shown <= 10; ++shown) {
        EXPECT_EQ(lines.ticksUntilDue(), 1u);
        EXPECT_TRUE(lines.update(TickSeconds));
        EXPECT_EQ(lines.lines().back().revealed, shown);
    }
    bool changed = false;
    expectChangeExactlyWhenDue(lines, [&] { changed = lines.update(TickSeconds); }, [&] { return changed; }, 1);
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(lines.ticksUntilDue(), NeverDue);
}

TEST_F(DueTest, TheBodyWakesForTheSwitchToIdleAndTheStatusLineThenSleeps) {
    folder.addUnit("a", "{}");
    Body body(nullptr, L"units\\a\\body\\", nullptr);
    ASSERT_TRUE(uitest::waitUntil([&] { return body.painted(); }));
    EXPECT_EQ(body.ticksUntilDue(), 1u);  // the rest of the skin loads on the next tick
    body.update(TickSeconds);
    ASSERT_EQ(body.skin().currentName(), L"standby");
    expectChangeExactlyWhenDue(body, [&] { body.update(TickSeconds); },
                               [&] { return body.skin().currentName() == L"idle"; }, 1);
    EXPECT_EQ(body.ticksUntilDue(), NeverDue);
    body.showStatus(L"x");
    expectChangeExactlyWhenDue(body, [&] { body.update(TickSeconds); },
                               [&] { return body.status().text().empty(); }, 1);
    EXPECT_EQ(body.ticksUntilDue(), NeverDue);
}

// Where the balloon stands beside a body at this rectangle (no offsets in the test skin).
kiro::ui::Point balloonBeside(const kiro::ui::Rect& body) {
    const int side = Body::Textbox::WindowSize;
    return {body.left - side, body.bottom - side - ((body.bottom - body.top) >> 1)};
}

TEST_F(DueTest, TheBalloonFollowsTheBodyThroughADragAndAMoveByTheSystem) {
    folder.addUnit("a", "{}");
    Body body(nullptr, L"units\\a\\body\\", nullptr);
    body.speak(L"hello", L"");
    ASSERT_TRUE(uitest::waitUntil([&] { return body.painted() && body.balloon().isVisible(); }));
    uitest::pump(200);  // until the server has the window's shape
    kiro::ui::Rect start{};
    body.getWindowRect(start);
    auto expectBeside = [&](const char* when) {
        kiro::ui::Rect r{};
        body.getWindowRect(r);
        kiro::ui::Point at{};
        body.balloon().position(at);
        const kiro::ui::Point want = balloonBeside(r);
        EXPECT_EQ(at.x, want.x) << when;
        EXPECT_EQ(at.y, want.y) << when;
    };

    const int x = start.left + 20, y = start.top + 10;
    uitest::moveTo(x, y);
    uitest::press(1);
    for (int step = 1; step <= 4; ++step) {
        uitest::moveTo(x - 30 * step, y - 20 * step);
        uitest::pump(60);
        expectBeside("during the drag");
    }
    uitest::release(1);
    ASSERT_TRUE(uitest::waitUntil([&] {
        kiro::ui::Rect r{};
        body.getWindowRect(r);
        return r.left == start.left - 120;
    }));
    uitest::pump(100);
    expectBeside("after the release");

    // A move the program did not ask for arrives as a configure notice from the server.
    gdk_window_move(gtk_widget_get_window(GTK_WIDGET(body.handle())), 300, 200);
    ASSERT_TRUE(uitest::waitUntil([&] {
        kiro::ui::Rect r{};
        body.getWindowRect(r);
        return r.left == 300;
    }));
    expectBeside("after a move by the system");
}

}  // namespace
}  // namespace tavi
