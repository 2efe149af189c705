// The message loop when a window's handler throws: the exception stops at the window's
// dispatch, the loop ends, and the entry gets the exception from run.
#include <gtest/gtest.h>

#include <stdexcept>

#include "kiro/app.h"
#include "kiro/ui/loop.h"
#include "kiro/ui/window.h"

namespace {

struct FailingTimer : kiro::ui::Window {
    int ticks = 0;
    kiro::ui::LResult onTimer() override {
        if (++ticks == 3) throw std::runtime_error("third tick failed");
        return 0;
    }
};

TEST(Run, AHandlersOrPostedTasksExceptionEndsTheLoopAndComesOutOfRun) {
    FailingTimer window;
    window.setTimer(10, 1);
    try {
        kiro::app::run();
        ADD_FAILURE() << "run ended without the exception";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "third tick failed");
    }
    EXPECT_EQ(window.ticks, 3);
    // Handed over once: the next loop runs normally until it is ended.
    window.killTimers();
    kiro::app::quit();
    EXPECT_NO_THROW(kiro::app::run());

    // A task posted to the UI thread is called back by the platform too; what it throws, even
    // something that is no std::exception, ends the loop the same way.
    kiro::ui::postToUiThread([] { throw 7; });
    EXPECT_THROW(kiro::app::run(), std::runtime_error);
}

}  // namespace
