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
        if (const auto shown = c.boxText(*box)) {
            for (const std::string& part : shows) EXPECT_NE(shown->find(part), std::string::npos) << *shown;
        }
        EXPECT_FALSE(fs::exists(copy_->folder() / "error.log")) << "the log comes after the box";
        c.keys(*box, "Escape");
        return app.waitExit(10s);
    }
};

TEST_F(StartFailTest, SecondStartIsRefusedWhileTheFirstRuns) {
    AppProcess first(*copy_);
    Companion c(*desk_, first);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    AppProcess second(*copy_);
    Companion refused(*desk_, second);
    const auto box = refused.box("caution");
    ASSERT_TRUE(box) << "no box captioned caution";
    Companion::screenshot("already");
    if (const auto text = refused.boxText(*box)) {
        EXPECT_EQ(*text, "Already executed");
    }
    EXPECT_FALSE(refused.body());  // the refused copy never built a character
    refused.keys(*box, "Escape");
    EXPECT_EQ(second.waitExit(10s), 255);
    // The first copy goes on untouched; killed, it leaves no guard behind: the next start
    // runs, and Ctrl-C ends it normally.
    EXPECT_TRUE(first.running());
    ASSERT_TRUE(c.body());
    EXPECT_EQ(c.body()->id, body->id);
    first.signal(SIGKILL);
    EXPECT_EQ(first.waitExit(10s), 128 + SIGKILL);
    AppProcess third(*copy_);
    ASSERT_TRUE(Companion(*desk_, third).waitBody()) << "a killed program left its guard";
    if (runner() == nullptr)
        third.signal(SIGINT);
    else
        third.endSession();
    EXPECT_EQ(third.waitExit(10s), 0);
    EXPECT_TRUE(copy_->state().count("user.preference"));
}

TEST_F(StartFailTest, BrokenUnitListShowsTheErrorAndWritesTheLog) {
    writeFile(copy_->folder() / "units/bootstrap.json", "{\"units\": [\"mebu\"");
    AppProcess app(*copy_);
    Companion c(*desk_, app);
    ASSERT_TRUE(c.box("Oops! exception now :("));
    EXPECT_FALSE(c.body());
    EXPECT_EQ(oops(c, app, {"tavi::MultiUnit::MultiUnit", "ERROR_UnitNotFound"}), 255);
    const std::string log = readFile(copy_->folder() / "error.log");
    EXPECT_NE(log.find("tavi::MultiUnit::MultiUnit"), std::string::npos) << log;
    EXPECT_TRUE(log.size() > 18 && log.substr(log.size() - 18) == "ERROR_UnitNotFound") << log;
    EXPECT_FALSE(fs::exists(copy_->statePath())) << "a failed start runs none of the shut-down";
}

TEST_F(StartFailTest, ACommandsExceptionEndsWithTheErrorBoxTheLogAndTheSavedState) {
    const fs::path flag = copy_->folder() / "no-threads";
    const auto app = startPreloaded(*copy_, {"TAVI_FAIL_THREADS=" + flag.string()});
    if (!app) GTEST_SKIP() << "needs TAVI_PRELOAD and the Linux program";
    Companion c(*desk_, *app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);
    writeFile(flag, "");
    // "その他の機能(&T)", "モニターの電源を切る(&A)".
    ASSERT_TRUE(c.click(*body));
    xdotool("key t");
    xdotool("key a");
    EXPECT_EQ(oops(c, *app), 255);
    EXPECT_FALSE(readFile(copy_->folder() / "error.log").empty());
    EXPECT_EQ(copy_->state()["user.preference"].size(), 5u) << "the state was not saved";
}

}  // namespace
}  // namespace e2e
