// The built program when a menu command throws (here: the away-from-keyboard worker cannot
// start): the error box, then "error.log", and the state is still saved on the way out.
#include <gtest/gtest.h>

#include "e2e/companion_x11.h"

namespace e2e {
namespace {

using HandlerFailureTest = ProgramTest;

TEST_F(HandlerFailureTest, ACommandsExceptionEndsWithTheErrorBoxTheLogAndTheSavedState) {
    const char* shim = std::getenv("TAVI_PRELOAD");  // support/preload_posix.c
    if (shim == nullptr) GTEST_SKIP() << "needs TAVI_PRELOAD";
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
