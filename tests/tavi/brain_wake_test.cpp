// The brain telling the user-interface thread to come for a response, and holding its load
// until it is started.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "support/tempfolder.h"
#include "tavi/brain.h"
#include "tavi/events.h"

namespace tavi {
namespace {

using namespace std::chrono_literals;

// Counts the wake-ups of the worker; waits for the next one.
struct WakeCounter {
    std::mutex mutex;
    std::condition_variable rang;
    int count = 0;

    std::function<void()> call() {
        return [this] {
            std::lock_guard<std::mutex> hold(mutex);
            ++count;
            rang.notify_all();
        };
    }
    bool waitBeyond(int seen) {
        std::unique_lock<std::mutex> hold(mutex);
        return rang.wait_for(hold, 20s, [&] { return count > seen; });
    }
    int seen() {
        std::lock_guard<std::mutex> hold(mutex);
        return count;
    }
};

TEST(BrainWake, AQueuedResponseWakesTheUserInterfaceAgainUntilItCanBeTaken) {
    test::TempFolder folder;
    test::writeBytes(folder / L"event.json", R"({"unit_wakeup": ["hello"], "unit_drag": ["hey"]})");
    WakeCounter wakes;
    BrainOptions options;
    options.wake = wakes.call();
    options.waitForStart = true;
    Brain brain(folder.path(), options);
    brain.post(events::unitWakeup());

    // Not started: it does not even load.
    std::this_thread::sleep_for(300ms);
    float progress = -1;
    EXPECT_TRUE(brain.progress(progress));
    EXPECT_EQ(progress, 0.0f);
    EXPECT_EQ(wakes.seen(), 0);

    brain.start();
    ASSERT_TRUE(wakes.waitBeyond(0));
    // A message posted before the visit holds the response back; moving it out of the inbox
    // is worth another wake-up.
    const int before = wakes.seen();
    brain.post(events::unitDrag());
    Response r;
    EXPECT_FALSE(brain.poll(r));
    ASSERT_TRUE(wakes.waitBeyond(before));
    ASSERT_TRUE(brain.poll(r));
    EXPECT_EQ(r.text, L"hello");
    EXPECT_FALSE(r.chatter);
}

}  // namespace
}  // namespace tavi
