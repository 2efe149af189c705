// The built program on a display when it cannot run: a second copy is refused while the first
// goes on (and a killed first leaves no guard behind), and a broken unit list ends start-up
// with the error box and "error.log"; so does a menu command that throws (here: the
// away-from-keyboard worker cannot start), which still saves the state on the way out.
#include <gtest/gtest.h>

#include "e2e/companion_x11.h"

namespace e2e {
namespace {

using StartFailTest = ProgramTest;

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
    // The refused copy never built a character.
    EXPECT_FALSE(refused.body());
    refused.closeBox(*box);
    EXPECT_EQ(second.waitExit(10s), 255);

    // The first copy goes on untouched.
    EXPECT_TRUE(first.running());
    const auto still = c.body();
    ASSERT_TRUE(still);
    EXPECT_EQ(still->id, body->id);
    // Killed, it leaves no guard behind: the next start runs, and Ctrl-C ends it normally.
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

    const auto box = c.box("Oops! exception now :(");
    ASSERT_TRUE(box) << "no error box";
    Companion::screenshot("oops");
    if (const auto shown = c.boxText(*box)) {
        EXPECT_NE(shown->find("tavi::MultiUnit::MultiUnit"), std::string::npos) << *shown;
        EXPECT_NE(shown->find("ERROR_UnitNotFound"), std::string::npos) << *shown;
    }
    // The log is written once the box has been dismissed.
    EXPECT_FALSE(fs::exists(copy_->folder() / "error.log"));
    EXPECT_FALSE(c.body());

    c.closeBox(*box);
    EXPECT_EQ(app.waitExit(10s), 255);
    const std::string log = readFile(copy_->folder() / "error.log");
    EXPECT_NE(log.find("tavi::MultiUnit::MultiUnit"), std::string::npos) << log;
    const std::string tail = "ERROR_UnitNotFound";
    ASSERT_GE(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail) << log;
    // A failed start runs none of the shut-down: no state is written.
    EXPECT_FALSE(fs::exists(copy_->statePath()));
}

TEST_F(StartFailTest, ACommandsExceptionEndsWithTheErrorBoxTheLogAndTheSavedState) {
    const char* shim = std::getenv("TAVI_PRELOAD");  // support/preload_posix.c
    if (shim == nullptr || runner() != nullptr) GTEST_SKIP() << "needs TAVI_PRELOAD and the Linux program";
    const fs::path flag = copy_->folder() / "no-threads";
    const char* asan = std::getenv("ASAN_OPTIONS");  // a sanitizer build takes a library loaded first
    AppProcess app(*copy_, {"LD_PRELOAD=" + std::string(shim), "TAVI_FAIL_THREADS=" + flag.string(),
                            "ASAN_OPTIONS=" + std::string(asan ? asan : "") + ":verify_asan_link_order=0"});
    Companion c(*desk_, app);
    const auto body = c.waitBody();
    ASSERT_TRUE(body);

    writeFile(flag, "");
    // "その他の機能(&T)", "モニターの電源を切る(&A)".
    ASSERT_TRUE(c.openMenu(*body));
    xdotool("key t");
    xdotool("key a");
    const auto box = c.box("Oops! exception now :(");
    ASSERT_TRUE(box) << "no error box";
    EXPECT_FALSE(fs::exists(copy_->folder() / "error.log")) << "the log comes after the box";
    c.closeBox(*box);
    EXPECT_EQ(app.waitExit(10s), 255);
    EXPECT_FALSE(readFile(copy_->folder() / "error.log").empty());
    EXPECT_EQ(copy_->state()["user.preference"].size(), 5u) << "the state was not saved";
}

}  // namespace
}  // namespace e2e
