// The brain with its real worker thread: loading and settling, the order of answers, the
// inbox rule of poll, waking the user interface, the quiet flag, and an exception on the
// worker. (The settle pause is proved with a real corpus.)
#include "tavi/brain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/tempfolder.h"
#include "tavi/events.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

long long millis(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}
using tavi::Brain;
using tavi::BrainOptions;
using tavi::Response;
using tavi::test::TempFolder;
using tavi::test::writeBytes;

// A millisecond clock set by the test. While closed, the worker blocks in its next reading,
// which holds it in the middle of a cycle after it has emptied the inbox.
class TestClock {
public:
    explicit TestClock(uint32_t start) : now_(start) {}
    ~TestClock() { open(); }

    kiro::MillisClock function() {
        return [this] { return read(); };
    }
    void set(uint32_t value) {
        std::lock_guard<std::mutex> hold(mutex_);
        now_ = value;
    }
    void close() {
        std::lock_guard<std::mutex> hold(mutex_);
        closed_ = true;
    }
    void open() {
        std::lock_guard<std::mutex> hold(mutex_);
        closed_ = false;
        changed_.notify_all();
    }
    bool waitForBlockedReader() {
        std::unique_lock<std::mutex> hold(mutex_);
        return changed_.wait_for(hold, 20s, [this] { return waiting_ > 0; });
    }
    // Makes every later reading throw.
    void breakDown() { broken_ = true; }

private:
    uint32_t read() {
        if (broken_) throw std::runtime_error("clock broke");
        std::unique_lock<std::mutex> hold(mutex_);
        if (closed_) {
            ++waiting_;
            changed_.notify_all();
            changed_.wait(hold, [this] { return !closed_; });
            --waiting_;
        }
        return now_;
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    uint32_t now_;
    bool closed_ = false;
    int waiting_ = 0;
    std::atomic<bool> broken_{false};
};

// Far past the first minute, so a brain that heard nothing would be bored at once.
const uint32_t Late = 10000000;

const char* const EventTable = R"({
  "unit_wakeup": ["good morning"],
  "unit_drag": {"action": "grab", "texts": ["drag"]},
  "unit_drop": ["drop"]
})";
const char* const ResponseTable = R"({"boredom": {"texts": ["bored"]}})";

void writeTables(const TempFolder& folder) {
    writeBytes(folder / L"event.json", EventTable);
    writeBytes(folder / L"response.json", ResponseTable);
}

// Whether the condition comes true within a generous time.
bool waitFor(const std::function<bool()>& condition) {
    const auto deadline = Clock::now() + 30s;
    while (!condition()) {
        if (Clock::now() > deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}
bool waitUntilReady(Brain& brain) {
    float value = 0;
    return waitFor([&] { return !brain.progress(value); });
}

// The next response within a generous time, or a response with the text "<none>".
Response nextResponse(Brain& brain, std::chrono::milliseconds within = 10s) {
    Response r;
    const auto deadline = Clock::now() + within;
    while (Clock::now() < deadline) {
        if (brain.poll(r)) return r;
        std::this_thread::sleep_for(5ms);
    }
    return Response{L"<none>", L""};
}

TEST(Brain, AnswersWaitForReadinessAndForAnEmptyInboxAndLeaveInOrder) {
    TempFolder folder;
    writeTables(folder);
    TestClock clock(Late);
    Brain brain(folder.path(), BrainOptions{{}, clock.function()});
    brain.post(tavi::events::unitWakeup());

    // Nothing is handed out before the brain is ready: the message waits in the inbox.
    float value = 0;
    Response r;
    int checks = 0;
    while (brain.progress(value)) {
        EXPECT_FALSE(brain.poll(r));
        ++checks;
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GT(checks, 0);
    EXPECT_EQ(value, 1.0f);

    r = nextResponse(brain);
    EXPECT_EQ(r.text, L"good morning");
    EXPECT_EQ(r.action, L"speak");
    // The wakeup counted as activity, so no boredom line follows while the clock stands.
    EXPECT_EQ(nextResponse(brain, 800ms).text, L"<none>");

    // Let the worker answer "unit_drag" into the outbox without taking the answer...
    brain.post(tavi::events::unitDrag());
    std::this_thread::sleep_for(1000ms);
    // ...then hold the worker in the cycle that takes "unit_drop" out of the inbox, so the
    // next message stays there.
    clock.close();
    brain.post(tavi::events::unitDrop());
    ASSERT_TRUE(clock.waitForBlockedReader());
    brain.post(tavi::events::unitWakeup());
    EXPECT_FALSE(brain.poll(r));
    EXPECT_FALSE(brain.poll(r));
    clock.open();

    // Responses leave in the order they were made.
    EXPECT_EQ(nextResponse(brain).text, L"drag");
    EXPECT_EQ(nextResponse(brain).text, L"drop");
    EXPECT_EQ(nextResponse(brain).text, L"good morning");
}

TEST(Brain, HeldUntilStartedThenAQueuedResponseWakesTheUserInterfaceUntilItCanBeTaken) {
    TempFolder folder;
    writeTables(folder);
    std::atomic<int> wakes{0};
    BrainOptions options;
    options.wake = [&] { ++wakes; };
    options.waitForStart = true;
    Brain brain(folder.path(), options);
    brain.post(tavi::events::unitWakeup());

    // Not started: it does not even load.
    std::this_thread::sleep_for(300ms);
    float progress = -1;
    EXPECT_TRUE(brain.progress(progress));
    EXPECT_EQ(progress, 0.0f);
    EXPECT_EQ(wakes, 0);

    brain.start();
    ASSERT_TRUE(waitFor([&] { return wakes > 0; }));
    // A message posted before the visit holds the response back; moving it out of the inbox
    // is worth another wake-up, though the message brings no line of its own.
    const int before = wakes;
    brain.post(tavi::EventMessage{tavi::EventMessage::Named, L"not_in_the_table", {}});
    Response r;
    EXPECT_FALSE(brain.poll(r));
    ASSERT_TRUE(waitFor([&] { return wakes > before; }));
    ASSERT_TRUE(brain.poll(r));
    EXPECT_EQ(r.text, L"good morning");
    EXPECT_FALSE(r.chatter);
}

TEST(Brain, QuietHoldsTheBoredomLineBackButNotEventLines) {
    TempFolder folder;
    writeTables(folder);
    TestClock clock(Late);
    Brain brain(folder.path(), BrainOptions{{}, clock.function()});
    brain.setQuiet(true);
    ASSERT_TRUE(waitUntilReady(brain));
    // Long silence while some balloon is busy: no conversation line, yet an event line.
    EXPECT_EQ(nextResponse(brain, 700ms).text, L"<none>");
    brain.post(tavi::events::unitDrag());
    EXPECT_EQ(nextResponse(brain).text, L"drag");
    // Quiet ends, and 2000 ms after that response the collected boredom line is said.
    brain.setQuiet(false);
    clock.set(Late + 2000);
    EXPECT_EQ(nextResponse(brain).text, L"bored");
}

TEST(Brain, ExceptionOnTheWorkerIsReportedOnceAndEndsIt) {
    TempFolder folder;
    writeTables(folder);
    // A working reporter, none, and one that throws: without a working one the text goes to
    // standard error.
    for (const int reporter : {0, 1, 2}) {
        SCOPED_TRACE(reporter);
        TestClock clock(Late);
        std::mutex mutex;
        std::vector<std::string> reports;
        BrainOptions options;
        options.clock = clock.function();
        if (reporter == 0) {
            options.reportError = [&](const std::string& what) {
                std::lock_guard<std::mutex> hold(mutex);
                reports.push_back(what);
            };
        } else if (reporter == 2) {
            options.reportError = [](const std::string&) { throw std::runtime_error("no box"); };
        }
        const auto reported = [&] {
            std::lock_guard<std::mutex> hold(mutex);
            return reports;
        };
        ::testing::internal::CaptureStderr();
        auto brain = std::make_unique<Brain>(folder.path(), options);
        ASSERT_TRUE(waitUntilReady(*brain));
        clock.breakDown();
        // The worker's next cycle reads the clock and fails.
        brain->post(tavi::events::unitDrag());
        if (reporter == 0) {
            ASSERT_TRUE(waitFor([&] { return !reported().empty(); }));
        }
        std::this_thread::sleep_for(1000ms);
        // The worker has ended: messages are no longer taken, nothing more is said.
        brain->post(tavi::events::unitDrop());
        EXPECT_EQ(nextResponse(*brain, 600ms).text, L"<none>");
        // Deleting the brain still works; the worker is already gone.
        const auto start = Clock::now();
        brain.reset();
        EXPECT_LT(millis(Clock::now() - start), 5000);
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(err.find("exception: clock broke") != std::string::npos, reporter != 0);
        EXPECT_EQ(reported(), std::vector<std::string>(reporter == 0 ? 1 : 0, "clock broke"));
    }
}

}  // namespace
