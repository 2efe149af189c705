// The built program on a display when it cannot run: a second copy is refused while the first
// goes on (and a killed first leaves no guard behind), and a broken unit list ends start-up
// with the error box and "error.log"; so does a menu command that throws (here: the
// away-from-keyboard worker cannot start), which still saves the state on the way out.
#include "support/desktop_x11.h"

namespace e2e {
namespace {

class StartFailTest : public ProgramTest {
protected:
    // The error box, with the log written only once it is dismissed; the program's exit code.
    int oops(Companion& c, AppProcess& app, const std::vector<std::string>& shows = {}) {
        const auto box = c.box("Oops! exception now :(");
        EXPECT_TRUE(box) << "no error box";
        if (!box) return -1;
        Companion::screenshot("oops");
        // The focus moved onto a GTK box's selectable label selects it all, which the box offers
        // as the PRIMARY selection; a Windows box (under Wine) offers nothing.
        std::string shown;
        for (int i = 0; i < 4 && !shows.empty() && runner() == nullptr && shown.empty(); ++i) {
            c.keys(*box, "shift+Tab");
            waitFor([&] { return !(shown = desk_->selection("PRIMARY", 500ms)).empty(); }, 1500ms);
        }
        for (const std::string& part : shows) EXPECT_TRUE(runner() || shown.find(part) != std::string::npos) << shown;
        EXPECT_FALSE(fs::exists(copy_->folder() / "error.log")) << "the log comes after the box";
        c.keys(*box, "Escape");
        return app.waitExit(10s);
    }
};

TEST_F(StartFailTest, SecondStartIsRefusedWhileTheFirstRuns) {
    AppProcess first(*copy_);
    Companion c(*desk_, first);
    ASSERT_TRUE(c.waitBody());
    AppProcess second(*copy_);
    Companion refused(*desk_, second);
    const auto box = refused.box("caution");
    ASSERT_TRUE(box) << "no box captioned caution";
    Companion::screenshot("already");
    EXPECT_FALSE(refused.body());  // the refused copy never built a character
    refused.keys(*box, "Escape");
    EXPECT_EQ(second.waitExit(10s), 255);
    // The first copy goes on untouched; killed, it leaves no guard behind: the next start
    // runs, and Ctrl-C ends it normally.
    EXPECT_TRUE(first.running() && c.body());
    first.signal(SIGKILL);
    EXPECT_EQ(first.waitExit(10s), 128 + SIGKILL);
    AppProcess third(*copy_);
    ASSERT_TRUE(Companion(*desk_, third).waitBody()) << "a killed program left its guard";
    runner() == nullptr ? third.signal(SIGINT) : third.endSession();
    EXPECT_EQ(third.waitExit(10s), 0);
    EXPECT_FALSE(copy_->state()[L"user.preference"].empty());
}

TEST_F(StartFailTest, BrokenUnitListShowsTheErrorAndWritesTheLog) {
    writeFile(copy_->folder() / "units/bootstrap.json", "{\"units\": [\"mebu\"");
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    ASSERT_TRUE(c.box("Oops! exception now :("));
    EXPECT_FALSE(c.body());
    EXPECT_EQ(oops(c, app, {"tavi::MultiUnit::MultiUnit", "ERROR_UnitNotFound"}), 255);
    std::string log = readFile(copy_->folder() / "error.log");
    log.erase(std::remove(log.begin(), log.end(), '\r'), log.end());  // Windows ends its lines with CR LF
    EXPECT_NE(log.find("tavi::MultiUnit::MultiUnit\n\nERROR_UnitNotFound"), std::string::npos) << log;
    EXPECT_FALSE(fs::exists(copy_->statePath())) << "a failed start runs none of the shut-down";
}

TEST_F(StartFailTest, ACommandsExceptionEndsWithTheErrorBoxTheLogAndTheSavedState) {
    // The program with support/preload_posix.c, which fails its thread starts once flag exists.
    const fs::path flag = copy_->folder() / "no-threads";
    const auto preload = preloaded(*copy_, {"TAVI_FAIL_THREADS=" + flag.string()});
    if (!preload) GTEST_SKIP() << "needs TAVI_PRELOAD and the Linux program";
    AppProcess& app = *preload;
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    writeFile(flag, "");
    // "その他の機能(&T)", "モニターの電源を切る(&A)".
    ASSERT_TRUE(c.click(*body));
    xdotool("key t");
    xdotool("key a");
    EXPECT_EQ(oops(c, app), 255);
    EXPECT_FALSE(readFile(copy_->folder() / "error.log").empty());
    EXPECT_EQ(copy_->state()[L"user.preference"].keys().size(), 5u) << "the state was not saved";
}

}  // namespace
}  // namespace e2e
