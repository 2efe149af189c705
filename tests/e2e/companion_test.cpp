// The built program on a display: a second start is refused while it runs; the character
// stands in the corner of the work area and greets the user (at the default font size, whatever
// the settings say); its context menu opens at the pointer and shows the version box; a session
// end while the menu is open ends the program, which leaves its preferences in ".state".
#include "support/desktop_x11.h"

namespace e2e {
namespace {

using CompanionTest = ProgramTest;

TEST_F(CompanionTest, StandsInTheCornerRefusesASecondStartGreetsShowsItsMenuAndEndsWithTheSession) {
    writeFile(folder_ / "tavi.config", "font_size=5000\n");  // out of range: the default
    const auto app = start();
    const auto body = app->waitBody();
    ASSERT_TRUE(body) << "no character window appeared";
    {
        const auto second = start();
        const auto box = second->box("caution");
        ASSERT_TRUE(box) << "no box captioned caution";
        EXPECT_FALSE(second->body());  // the refused copy never built a character
        input(*box, "key Escape");
        EXPECT_EQ(second->waitExit(10s), 255);
    }
    const Box area = desk_->workArea();
    EXPECT_EQ(std::pair(body->box.right, body->box.bottom), std::pair(area.right, area.bottom));
    // As large as its picture (a PNG file's header holds its width and height at 16 and 20).
    const std::string png = readFile(folder_ / "units/mebu/body/idle.png");
    ASSERT_GE(png.size(), 24u);
    const auto at = [&](int i) { return (std::uint8_t(png[i + 2]) << 8) | std::uint8_t(png[i + 3]); };
    EXPECT_EQ(std::pair(body->box.width(), body->box.height()), std::pair(at(16), at(20)));

    // The wake-up line beside the character once the brain has loaded, written at the default
    // font size (a 5000-pixel glyph would darken the balloon all over).
    EXPECT_TRUE(waitFor([&] { return app->balloonShowing(*body); }, 60s)) << "no wake-up line";
    if (const char* shots = std::getenv("TAVI_E2E_SHOTS")) {  // a picture of the line revealed whole
        std::this_thread::sleep_for(3s);
        std::system(("import -window root '" + std::string(shots) + "/wakeup.png' 2>/dev/null").c_str());
    }
    const auto balloon = app->balloon(*body);
    ASSERT_TRUE(balloon);
    EXPECT_TRUE(balloon->box.top < body->box.bottom && balloon->box.bottom > body->box.top);
    // (Under Wine the balloon, shown without activation, is a window the manager never sees.)
    EXPECT_TRUE(runner() || (!balloon->decorated && desk_->hasState(balloon->id, "_NET_WM_STATE_SKIP_TASKBAR") &&
                             desk_->hasState(balloon->id, "_NET_WM_STATE_ABOVE")))
        << "the balloon, owned by the character, is kept above as it is";
    // Its text in the balloon's text colour: red, green and blue each within 8 of 0x40.
    const auto written = [&] {
        const Pixels p = desk_->grab(balloon->box);
        return std::count_if(p.rgb.begin(), p.rgb.end(), [](std::uint32_t v) {
            return std::max({std::abs(int(v >> 16) - 0x40), std::abs(int(v >> 8 & 0xFF) - 0x40),
                             std::abs(int(v & 0xFF) - 0x40)}) <= 8;
        });
    };
    EXPECT_TRUE(waitFor([&] { return written() >= 40; }, 5s) && written() < 5000) << written() << " text pixels";

    // The menu opens at the pointer (one of its corners); dismissed, the program goes on.
    const auto [px, py] = app->pointOn(*body);  // where the click goes
    const auto menu = app->clickAt({px, py});
    ASSERT_TRUE(menu) << "no menu after a right click on the character";
    const auto near = [](int edge, int otherEdge, int p) {
        return std::min(std::abs(edge - p), std::abs(otherEdge - p)) <= 12;
    };
    EXPECT_TRUE(near(menu->box.left, menu->box.right, px) && near(menu->box.top, menu->box.bottom, py))
        << "menu at " << menu->box.left << "," << menu->box.top << " pointer " << px << "," << py;
    xdotool("key Escape");
    EXPECT_TRUE(waitFor([&] { return !app->openMenuWindow(); }, 5s));

    // "バージョン情報(&V)": a box under its own caption.
    ASSERT_TRUE(app->pick(*body, "v"));
    const auto box = app->box("雑なバージョン情報");
    ASSERT_TRUE(box) << "no version box";
    input(*box, "key Escape");

    // The balloon keeps its place beside the character through a move by the window manager
    // (before the drag, whose line would move the balloon anyway) and through a drag, step by
    // step. Judged on Linux: under Wine the manager's move reaches the program late or not at
    // all, and Wine's move loop does not follow this test's pointer.
    const auto besideAt = [&](int left) {
        const auto now = app->body(), b = app->balloon(*body);
        return now && b && now->box.left == left && b->box.left - now->box.left == balloon->box.left - body->box.left &&
               b->box.top - now->box.top == balloon->box.top - body->box.top;
    };
    if (!runner()) {
        xdotool("windowmove " + std::to_string(body->id) + " 300 200");
        EXPECT_TRUE(waitFor([&] { return besideAt(300); }, 5s)) << "after a move by the window manager";
        const auto [x, y] = app->pointOn(*app->body());
        desk_->movePointer(x, y);
        xdotool("mousedown 1");
        for (int step = 1; step <= 3; ++step) {
            desk_->movePointer(x - 30 * step, y - 20 * step);
            EXPECT_TRUE(waitFor([&] { return besideAt(300 - 30 * step); }, 2s)) << "step " << step;
        }
        xdotool("mouseup 1");
    }

    // The end of the session, while the menu waits for a choice, ends the program at once
    // through the normal shut-down: every mark of the menu is stored, none set.
    ASSERT_TRUE(app->clickAt(app->pointOn(*app->body())));
    app->endSession();
    EXPECT_EQ(app->waitExit(1500ms), 0) << "not ended normally within 1.5 s";
    for (const char* key : {"1", "2", "3", "4", "6"}) EXPECT_EQ(preference(key), "false") << key;
    EXPECT_FALSE(fs::exists(folder_ / "error.log"));
}

// A new note keeps the keys typed while the first balloon opens (the balloon takes no keyboard),
// and Escape writes them to the note's text file. (Under Wine with the tests' window manager.)
TEST_F(CompanionTest, NewNoteKeepsItsKeysAndSavesThemAtEscape) {
    const auto app = start();
    const auto body = app->waitBody();
    ASSERT_TRUE(body);
    // "新規(&N)" of "たびめも(&M)", typed into while the wake-up line comes.
    ASSERT_TRUE(app->pick(*body, "m n"));
    const auto editor = app->box("メモを編集中...");
    ASSERT_TRUE(editor);
    EXPECT_TRUE(editor->decorated) << "the editor has a title bar, the character none";
    input(*editor, "type --delay 30 'note #1: OK'");
    EXPECT_TRUE(waitFor([&] { return app->balloonShowing(*body); }, 60s)) << "no wake-up line";
    xdotool("key Return type --delay 30 '(2) end'");
    xdotool("key Escape");
    const auto newNote = [&]() -> std::optional<std::string> {
        std::error_code none;  // no folder yet: no note
        for (const auto& e : fs::directory_iterator(folder_ / "data/memo", none))
            if (e.path().extension() == ".dat") return readFile(e.path());
        return std::nullopt;
    };
    EXPECT_EQ(waitFor(newNote, 5s), "note #1: OK\n(2) end");
}

}  // namespace
}  // namespace e2e
