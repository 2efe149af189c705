// The built program with a font size out of any sensible range in its settings: it uses the
// default size and the character talks as usual.
#include <gtest/gtest.h>

#include "e2e/companion_x11.h"

namespace e2e {
namespace {

using BadSettingsTest = ProgramTest;

TEST_F(BadSettingsTest, AHugeFontSizeFallsBackToTheDefault) {
    writeFile(copy_->folder() / "tavi.config", "font_size=5000\n");
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    ASSERT_TRUE(waitFor([&] { return c.balloonShowing(*body); }, 60s)) << "no wake-up line beside the character";
    // The line is written in the balloon's text colour, at the default size (a glyph 5000
    // pixels high would darken the whole balloon).
    const auto written = [&] {
        return desk_->grab(c.balloon(*body)->box).count([](std::uint32_t p) { return near(p, 0x404040, 8); });
    };
    EXPECT_TRUE(waitFor([&] { return written() >= 40; }, 5s)) << written() << " text pixels";
    std::this_thread::sleep_for(2s);
    EXPECT_LT(written(), 5000u);
    app.signal(SIGTERM);
    EXPECT_EQ(app.waitExit(10s), 0);
}

}  // namespace
}  // namespace e2e
