// A message box asked for by a worker thread while no message loop runs (before the loop, or
// while the UI thread leaves and joins that worker): the worker gets the dismissed answer at
// once instead of waiting for a box that nobody can show.
#include <gtest/gtest.h>

#include <future>
#include <memory>
#include <thread>

#include "kiro/ui/loop.h"
#include "kiro/ui/msgbox.h"

namespace kiro::ui {
namespace {

TEST(MessageBoxFromWorker, WithoutARunningLoopItIsAnsweredAtOnce) {
    ASSERT_TRUE(initializeToolkit());
    ASSERT_FALSE(loopRunning());
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> got = answer->get_future();
    // Detached: if it waits for ever, the test fails instead of hanging with it.
    std::thread([answer] { answer->set_value(messageBox(L"worker failed", L"exception", MbYesNo)); }).detach();
    ASSERT_EQ(got.wait_for(std::chrono::seconds(5)), std::future_status::ready) << "the worker waits for its box";
    EXPECT_EQ(got.get(), IdNo);
}

}  // namespace
}  // namespace kiro::ui
