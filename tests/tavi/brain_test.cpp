// The brain with its real worker thread: loading and the settle pause, the order of answers,
// the inbox rule of poll, waking the user interface, the quiet flag, and an exception on the
// worker. (Loading a real corpus: oreb/engine_posix_test.cpp.)
#include "tavi/brain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/tempfolder.h"
#include "tavi/events.h"

namespace tavi {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// Far past the first minute, so a brain that heard nothing would be bored at once.
const uint32_t Late = 10000000;

struct BrainTest : ::testing::Test {
    test::TempFolder folder;
    std::atomic<uint32_t> now{Late};
    std::atomic<bool> broken{false};
    BrainOptions options;

    BrainTest() {
        test::writeBytes(folder / L"event.json", R"({"unit_wakeup": ["good morning"],
            "unit_drag": {"action": "grab", "texts": ["drag"]}, "unit_drop": ["drop"]})");
        test::writeBytes(folder / L"response.json", R"({"boredom": {"texts": ["bored"]}})");
        options.clock = [this] {
            if (broken) throw std::runtime_error("clock broke");
            return now.load();
        };
    }
    static bool waitFor(const std::function<bool()>& condition, std::chrono::milliseconds within = 30s) {
        for (const auto end = Clock::now() + within; !condition(); std::this_thread::sleep_for(2ms))
            if (Clock::now() > end) return false;
        return true;
    }
    // The next response within a generous time, or a response with the text "<none>" (which
    // a poll that finds nothing leaves as it is).
    static Response next(Brain& brain, std::chrono::milliseconds within = 10s) {
        Response r{L"<none>", L""};
        waitFor([&] { return brain.poll(r); }, within);
        return r;
    }
};

TEST_F(BrainTest, HeldUntilStartedThenAnswersWaitForReadinessAndAnEmptyInboxLeaveInOrderAndKeepQuiet) {
    std::atomic<int> wakes{0};
    Brain* self = nullptr;
    // The first wake-up comes on the worker with "good morning" made: a message posted now
    // waits in the inbox, and holds that answer back.
    options.wake = [&] {
        if (wakes == 0) {
            self->post(EventMessage{EventMessage::Named, L"not_in_the_table", {}});
            Response r;
            EXPECT_FALSE(self->poll(r));
        }
        ++wakes;
    };
    options.waitForStart = true;
    Brain brain(folder.path(), options);
    self = &brain;
    brain.post(events::unitWakeup());
    std::this_thread::sleep_for(300ms);
    float value = -1;
    EXPECT_TRUE(brain.progress(value) && value == 0.0f && wakes == 0);  // not started: it does not even load
    brain.start();
    // Nothing is handed out while loading, nor in the settle second after the tables loaded.
    Response r;
    std::optional<Clock::time_point> loaded;
    while (brain.progress(value)) {
        if (value == 1.0f && !loaded) loaded = Clock::now();
        EXPECT_FALSE(brain.poll(r));
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_TRUE(loaded.has_value());
    EXPECT_GE(Clock::now() - *loaded, 900ms);
    // Moving the message out of the inbox is worth a wake-up, though it brings no line.
    ASSERT_TRUE(waitFor([&] { return wakes >= 2; }));
    brain.post(events::unitDrag());
    ASSERT_TRUE(waitFor([&] { return wakes >= 3; }));
    // Responses leave in the order they were made; the wakeup counted as activity, so no
    // boredom line follows while the clock stands.
    EXPECT_EQ(next(brain), (Response{L"good morning", L"speak"}));
    EXPECT_EQ(next(brain).text, L"drag");
    EXPECT_EQ(next(brain, 800ms).text, L"<none>");
    // Quiet reaches the engine and holds the boredom line back (event lines pass: the engine's
    // cases); 2000 ms after quiet ends the collected boredom line is said.
    now = Late + 100000;
    brain.setQuiet(true);
    EXPECT_EQ(next(brain, 1700ms).text, L"<none>");
    brain.setQuiet(false);
    now = Late + 102000;
    EXPECT_EQ(next(brain).text, L"bored");
}

TEST_F(BrainTest, ExceptionOnTheWorkerIsReportedOnceAndEndsIt) {
    // A working reporter, and one that throws: without a working one the text goes to
    // standard error.
    for (const bool works : {true, false}) {
        SCOPED_TRACE(works);
        std::vector<std::string> reports;  // read once the brain, joining its worker, is gone
        options.reportError = [&](const std::string& what) { reports.push_back(what); };
        if (!works) options.reportError = [](const std::string&) { throw std::runtime_error("no box"); };
        broken = false;
        ::testing::internal::CaptureStderr();
        auto brain = std::make_unique<Brain>(folder.path(), options);
        float value;
        ASSERT_TRUE(waitFor([&] { return !brain->progress(value); }));
        broken = true;
        brain->post(events::unitDrag());  // the next cycle reads the clock and fails
        std::this_thread::sleep_for(1000ms);
        // The worker has ended: messages are no longer taken, nothing more is said, and
        // deleting the brain does not wait.
        brain->post(events::unitDrop());
        EXPECT_EQ(next(*brain, 600ms).text, L"<none>");
        const auto start = Clock::now();
        brain.reset();
        EXPECT_LT(Clock::now() - start, 5s);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find("exception: clock broke") != std::string::npos, !works);
        EXPECT_EQ(reports, std::vector<std::string>(works ? 1 : 0, "clock broke"));
    }
}

}  // namespace
}  // namespace tavi
