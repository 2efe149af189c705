// Tasks posted to the UI thread from other threads: where and in which order they run, also
// while a nested loop runs.
#include "kiro/ui/loop.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace kiro::ui {
namespace {

TEST(Loop, TasksPostedFromWorkersRunOnTheUiThreadInOrderAlsoInANestedLoop) {
    ASSERT_TRUE(initializeToolkit());
    std::vector<int> ran;  // touched by the tasks only
    bool offThread = false;
    auto record = [&](int i) {
        return [&, i] {
            offThread = offThread || !isUiThread();
            ran.push_back(i);
        };
    };
    std::thread early([&] {
        for (int i = 0; i < 3; ++i) postToUiThread(record(i));
    });
    early.join();
    EXPECT_TRUE(ran.empty());  // they wait for the loop

    // The next task opens a nested loop, which runs a second worker's tasks and is ended by
    // the last of them.
    postToUiThread([&] {
        std::thread late([&] {
            for (int i = 3; i < 6; ++i) postToUiThread(record(i));
            postToUiThread([] { quitLoop(); });
        });
        runLoop();
        late.join();
        ran.push_back(100);
        quitLoop();
    });
    runLoop();
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2, 3, 4, 5, 100}));
    EXPECT_FALSE(offThread);
}

}  // namespace
}  // namespace kiro::ui
