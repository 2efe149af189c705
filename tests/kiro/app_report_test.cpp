// Error reports from worker threads: shown in a box on the UI thread while the loop runs (the
// worker does not wait for it), written to "error.log" when no loop runs.
#include <gtest/gtest.h>

#include <filesystem>
#include <future>
#include <memory>
#include <thread>

#include "kiro/app.h"
#include "kiro/ui/boxflags.h"
#include "kiro/ui/loop.h"
#include "support/tempfolder.h"
#include "support/uidriver.h"

namespace {

TEST(ErrorReport, ABoxOnTheUiThreadWhileTheLoopRunsElseTheLog) {
    ASSERT_TRUE(uitest::start());
    tavi::test::TempFolder tmp;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(std::filesystem::path(tmp.path()));

    // The loop has not started: the worker writes the log and goes on.
    std::thread([] { kiro::app::reportError("failed before the loop", "exception"); }).join();
    EXPECT_EQ(tavi::test::readBytes(tmp / L"error.log"), "failed before the loop");

    // The loop runs: the UI thread waits for the worker (as when it joins it) and the worker
    // is done without waiting for the box, which then shows on the UI thread.
    uitest::BoxSeen seen;
    bool workerDone = false;
    kiro::ui::postToUiThread([&] {
        auto done = std::make_shared<std::promise<void>>();
        std::future<void> finished = done->get_future();
        std::thread([done] {
            kiro::app::reportError("failed in the loop", "exception");
            done->set_value();
        }).detach();
        workerDone = finished.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        uitest::answerBox(&seen, kiro::ui::IdOk);
    });
    uitest::every(50, [&] {
        if (!seen.seen) return true;
        kiro::app::quit();
        return false;
    });
    kiro::app::run();
    std::filesystem::current_path(previous);
    EXPECT_TRUE(workerDone) << "the worker waited for the UI thread";
    EXPECT_EQ(seen.caption, L"exception");
    EXPECT_EQ(seen.text, L"failed in the loop");
    EXPECT_EQ(tavi::test::readBytes(tmp / L"error.log"), "failed before the loop");
}

}  // namespace
