// The built program with numbers out of any sensible range in its settings and skin: it uses
// the defaults and the character talks as usual.
#include <gtest/gtest.h>

#include "e2e/companion_x11.h"

namespace e2e {
namespace {

using BadSettingsTest = ProgramTest;

TEST_F(BadSettingsTest, HugeFontSizeAndBalloonOffsetsFallBackToTheDefaults) {
    writeFile(copy_->folder() / "tavi.config", "font_size=5000\n");
    const fs::path skin = copy_->folder() / "units/mebu/body/setup.json";
    std::string setup = readFile(skin);
    const auto at = setup.find("\"textbox\"");
    ASSERT_NE(at, std::string::npos);
    setup.replace(at, setup.find('}', at) + 1 - at, R"("textbox": {"x": 1e12, "y": -1e12})");
    writeFile(skin, setup);

    AppProcess app(*copy_);
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    ASSERT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 60s)) << "no wake-up line beside the character";
    // Offsets 0: the balloon's right edge at the character's left, its bottom half way up.
    const auto balloon = c.balloon(*body);
    ASSERT_TRUE(balloon);
    EXPECT_EQ(balloon->box.right, body->box.left);
    EXPECT_EQ(balloon->box.bottom, body->box.bottom - body->box.height() / 2);
    // The line is written in the balloon's text colour, at the default size (a glyph 5000
    // pixels high would darken the whole balloon).
    const auto written = [&] {
        return desk_->grab(balloon->box).count([](std::uint32_t p) { return near(p, 0x404040, 8); });
    };
    EXPECT_TRUE(waitFor([&] { return written() >= 40; }, 5s)) << written() << " text pixels";
    std::this_thread::sleep_for(2s);
    EXPECT_LT(written(), 5000u);
    app.signal(SIGTERM);
    EXPECT_EQ(app.waitExit(10s), 0);
}

}  // namespace
}  // namespace e2e
