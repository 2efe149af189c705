// The built program on a display when it cannot run: a broken unit list ends start-up
// with the error box and "error.log"; so does a menu command that throws (here: the
// away-from-keyboard worker cannot start), which still saves the state on the way out.
#include "support/desktop_x11.h"

namespace e2e {
namespace {

class StartFailTest : public ProgramTest {
protected:
    // The error box, with the log written only once it is dismissed; the program's exit code.
    int oops(AppProcess& app, const std::vector<std::string>& shows = {}) {
        const auto box = app.box("Oops! exception now :(");
        EXPECT_TRUE(box) << "no error box";
        if (!box) return -1;
        // The focus moved onto a GTK box's selectable label selects it all, which the box offers
        // as the PRIMARY selection; a Windows box (under Wine) offers nothing.
        std::string shown;
        for (int i = 0; i < 4 && !shows.empty() && runner() == nullptr && shown.empty(); ++i) {
            input(*box, "key shift+Tab");
            waitFor([&] { return !(shown = desk_->selection("PRIMARY", 500ms)).empty(); }, 1500ms);
        }
        for (const std::string& part : shows) EXPECT_TRUE(runner() || shown.find(part) != std::string::npos) << shown;
        EXPECT_FALSE(fs::exists(folder_ / "error.log")) << "the log comes after the box";
        input(*box, "key Escape");
        return app.waitExit(10s);
    }
};

TEST_F(StartFailTest, BrokenUnitListShowsTheErrorAndWritesTheLog) {
    writeFile(folder_ / "units/bootstrap.json", "{\"units\": [\"mebu\"");
    const auto app = start();
    EXPECT_EQ(oops(*app, {"tavi::MultiUnit::MultiUnit", "ERROR_UnitNotFound"}), 255);
    const std::string log = readFile(folder_ / "error.log");  // (Windows ends its lines with CR LF)
    EXPECT_TRUE(std::regex_search(log, std::regex("tavi::MultiUnit::MultiUnit\r?\n\r?\nERROR_UnitNotFound"))) << log;
    EXPECT_FALSE(fs::exists(statePath())) << "a failed start runs none of the shut-down";
}

TEST_F(StartFailTest, ACommandsExceptionEndsWithTheErrorBoxTheLogAndTheSavedState) {
    // The program with support/preload_posix.c, which fails its thread starts once flag exists.
    const fs::path flag = folder_ / "no-threads";
    const auto app = start({"TAVI_FAIL_THREADS=" + flag.string()}, true);
    if (!app) GTEST_SKIP() << "needs TAVI_PRELOAD and the Linux program";
    const auto body = app->waitBody();
    ASSERT_TRUE(body);
    writeFile(flag, "");
    // "その他の機能(&T)", "モニターの電源を切る(&A)".
    ASSERT_TRUE(app->pick(*body, "t a"));
    EXPECT_EQ(oops(*app), 255);
    EXPECT_FALSE(readFile(folder_ / "error.log").empty());
    EXPECT_EQ(state()[L"user.preference"].keys().size(), 5u) << "the state was not saved";
}

}  // namespace
}  // namespace e2e
