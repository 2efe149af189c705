// The built program on a display: the character stands in the corner of the work area and
// greets the user; its context menu opens at the pointer, shows the version box and ends the
// program, which then leaves its preferences in the ".state" file.
#include <gtest/gtest.h>

#include "e2e/companion_x11.h"

namespace e2e {
namespace {

// Width and height of a PNG file, from its header.
std::pair<int, int> pngSize(const fs::path& path) {
    const std::string b = readFile(path);
    if (b.size() < 24) return {0, 0};
    auto be = [&](size_t at) {
        return (int(std::uint8_t(b[at])) << 24) | (int(std::uint8_t(b[at + 1])) << 16) |
               (int(std::uint8_t(b[at + 2])) << 8) | int(std::uint8_t(b[at + 3]));
    };
    return {be(16), be(20)};
}

const char* const PreferenceKeys[] = {"1", "2", "3", "4", "6"};

using CompanionTest = ProgramTest;

TEST_F(CompanionTest, StandsInTheWorkAreaCornerGreetsAndEndsFromTheMenu) {
    AppProcess app(*copy_);
    Companion c(*desk_, app);

    const auto body = c.waitBody();
    ASSERT_TRUE(body) << "no character window appeared";
    const Box area = desk_->workArea();
    EXPECT_EQ(body->box.right, area.right);
    EXPECT_EQ(body->box.bottom, area.bottom) << "the corner of the work area, above the panel";
    const auto size = pngSize(copy_->folder() / "units/mebu/body/idle.png");
    EXPECT_EQ(body->box.width(), size.first);
    EXPECT_EQ(body->box.height(), size.second);

    // The first picture is drawn: a good part of the window shows the character.
    const auto drawn = [&] {
        const Pixels p = desk_->grab(body->box);
        return p.count([](std::uint32_t v) { return v != 0; }) > p.rgb.size() / 10;
    };
    EXPECT_TRUE(waitFor(drawn, 10s)) << "the character is not drawn";

    // The wake-up line: the balloon opens beside the character once the brain has loaded.
    EXPECT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 60s)) << "no wake-up line";
    Companion::screenshot("wakeup", 3s);
    const auto balloon = c.balloon(*body);
    ASSERT_TRUE(balloon);
    EXPECT_TRUE(balloon->mapped);
    EXPECT_LT(balloon->box.top, body->box.bottom);
    EXPECT_GT(balloon->box.bottom, body->box.top);

    // "終了(&X)" ends the program normally.
    ASSERT_TRUE(c.pick(*body, "x"));
    EXPECT_EQ(app.waitExit(10s), 0);
    const IniMap state = copy_->state();
    ASSERT_TRUE(state.count("user.preference")) << readFile(copy_->statePath());
    for (const char* key : PreferenceKeys) {
        ASSERT_TRUE(state.at("user.preference").count(key)) << "key " << key;
        EXPECT_EQ(state.at("user.preference").at(key), "false") << "key " << key;
    }
    EXPECT_FALSE(fs::exists(copy_->folder() / "error.log"));
}

TEST_F(CompanionTest, MenuOpensAtThePointerAndShowsTheVersion) {
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);

    const auto menu = c.openMenu(*body);
    ASSERT_TRUE(menu) << "no menu after a right click on the character";
    Companion::screenshot("menu");
    const auto [px, py] = desk_->pointer();
    // One corner of the menu touches the pointer.
    int nearest = 1 << 30;
    for (int x : {menu->box.left, menu->box.right}) {
        for (int y : {menu->box.top, menu->box.bottom}) nearest = std::min(nearest, std::abs(x - px) + std::abs(y - py));
    }
    EXPECT_LE(nearest, 24) << "menu at " << menu->box.left << "," << menu->box.top << " pointer " << px << "," << py;
    EXPECT_TRUE(menu->box.width() > 50 && menu->box.height() > 100);

    // Dismissed without a choice: nothing happens.
    xdotool("key Escape");
    EXPECT_TRUE(waitFor([&] { return !c.openMenuWindow(); }, 5s));
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(app.running());
    EXPECT_FALSE(c.box("雑なバージョン情報", 500ms));

    // "バージョン情報(&V)": a box with two lines under its own caption.
    ASSERT_TRUE(c.pick(*body, "v"));
    const auto box = c.box("雑なバージョン情報");
    ASSERT_TRUE(box) << "no version box";
    Companion::screenshot("version");
    if (const auto text = c.boxText(*box)) {
        EXPECT_EQ(*text, "OREB Tessary Velloq tavi v0.6.0\nmodified: 2025-05-25 (Sun)");
    }
    c.closeBox(*box);
    EXPECT_TRUE(waitFor([&] { return !c.box("雑なバージョン情報", 0ms); }, 5s));
    EXPECT_TRUE(app.running());

    // The end of the session ends the program through the normal shut-down.
    app.endSession();
    EXPECT_EQ(app.waitExit(10s), 0);
    const IniMap state = copy_->state();
    ASSERT_TRUE(state.count("user.preference")) << readFile(copy_->statePath());
    for (const char* key : PreferenceKeys) EXPECT_TRUE(state.at("user.preference").count(key)) << "key " << key;
}

// "新規(&N)" of "たびめも(&M)" at once: the note keeps the keys typed while the first balloon
// opens (without taking the keyboard), and Escape writes them to the note's new text file.
TEST_F(CompanionTest, NewMemoKeepsItsKeysAndSavesThemAtEscape) {
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    bool picked = false;
    for (int attempt = 0; attempt < 3 && !picked; ++attempt) picked = c.pick(*body, "m n");
    const auto editor = c.box("メモを編集中...");
    ASSERT_TRUE(picked && editor);
    xdotool("windowfocus --sync " + std::to_string(editor->id));
    xdotool("type --delay 30 'note #1: OK'");
    EXPECT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 60s)) << "no wake-up line";
    xdotool("key Return");
    xdotool("type --delay 30 '(2) end'");
    xdotool("key Escape");
    std::vector<std::string> notes;
    std::error_code none;  // no folder yet: no note
    waitFor(
        [&] {
            for (const auto& e : fs::directory_iterator(copy_->folder() / "data/memo", none))
                if (e.path().extension() == ".dat") notes.push_back(readFile(e.path()));
            return !notes.empty();
        },
        5s);
    EXPECT_EQ(notes, std::vector<std::string>{"note #1: OK\n(2) end"});
    app.endSession();
    EXPECT_EQ(app.waitExit(10s), 0);
}

}  // namespace
}  // namespace e2e
