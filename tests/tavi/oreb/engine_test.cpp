// The conversation engine driven by a hand-set millisecond clock: event lines before chatter,
// the pause before conversation lines, boredom after a silent minute, the quiet rule, pooled
// events, and loading with progress and the stop flag.
#include "tavi/oreb/engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <string>

#include "support/tempfolder.h"
#include "tavi/events.h"

namespace {

using tavi::EventMessage;
using tavi::Response;
using tavi::oreb::Engine;
using tavi::test::TempFolder;
using tavi::test::writeBytes;

const char* const EventTable = R"({
  "unit_wakeup": ["wake"],
  "unit_drag": {"action": "grab", "texts": ["drag"]},
  "unit_drop": ["drop"]
})";

const char* const ResponseTable = R"({
  "boredom": {"action": "yawn", "texts": ["bored"]},
  "through": {"action": "nod", "texts": ["through:%keyword%"]}
})";

EventMessage freeText(const std::wstring& sentence) {
    EventMessage m;
    m.kind = EventMessage::FreeText;
    m.name = sentence;
    return m;
}

// An engine over a small brain folder, its clock set by the test.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(folder_ / L"event.json", EventTable);
        writeBytes(folder_ / L"response.json", ResponseTable);
        engine_ = std::make_unique<Engine>(folder_.path(), 3, progress_, stop_,
                                           [this] { return now_.load(); });
    }

    // One worker cycle at the given time; the text said, or "" when nothing was.
    std::wstring cycleAt(uint32_t time, bool quiet = false) {
        now_ = time;
        Response r;
        if (!engine_->cycle(quiet, r)) return L"";
        return r.text;
    }

    void postAt(uint32_t time, const EventMessage& message) {
        now_ = time;
        engine_->post(message);
    }

    TempFolder folder_;
    std::atomic<float> progress_{0.5f};
    std::atomic<bool> stop_{false};
    std::atomic<uint32_t> now_{0};
    std::unique_ptr<Engine> engine_;
};

TEST_F(EngineTest, LoadsTablesAndReportsFullProgressWithoutCorpusFiles) {
    EXPECT_EQ(progress_.load(), 1.0f);
    postAt(5000, tavi::events::unitDrag());
    Response r;
    ASSERT_TRUE(engine_->cycle(false, r));
    EXPECT_EQ(r.text, L"drag");
    EXPECT_EQ(r.action, L"grab");
}

TEST_F(EngineTest, EventLinesComeFirstAndChatterWaitsTwoSecondsAfterActivity) {
    const uint32_t t0 = 100000;
    postAt(t0, tavi::events::unitWakeup());
    EXPECT_EQ(cycleAt(t0 + 200), L"wake");

    // A free-text message leaves a conversation line that must wait 2000 ms after it.
    postAt(t0 + 300, freeText(L"hello"));
    EXPECT_EQ(cycleAt(t0 + 400), L"");
    // An event arriving meanwhile is said at once, ahead of the waiting line...
    postAt(t0 + 500, tavi::events::unitDrop());
    EXPECT_EQ(cycleAt(t0 + 600), L"drop");
    // ...and its response restarts the wait, as does a message that adds no line.
    postAt(t0 + 1600, EventMessage{EventMessage::Named, L"not_in_table", {}});
    EXPECT_EQ(cycleAt(t0 + 1600 + 1999), L"");
    EXPECT_EQ(cycleAt(t0 + 1600 + 2000), L"through:");
    // The line was taken once.
    EXPECT_EQ(cycleAt(t0 + 1600 + 5000), L"");
}

TEST_F(EngineTest, BoredomAfterMoreThanAMinuteOfSilenceAndAgainAMinuteLater) {
    const uint32_t t0 = 200000;
    postAt(t0, tavi::events::unitWakeup());
    ASSERT_EQ(cycleAt(t0), L"wake");

    EXPECT_EQ(cycleAt(t0 + 30000), L"");
    EXPECT_EQ(cycleAt(t0 + 60000), L"");
    EXPECT_EQ(cycleAt(t0 + 60001), L"bored");
    // The boredom line itself resets the minute.
    const uint32_t t1 = t0 + 60001;
    EXPECT_EQ(cycleAt(t1 + 200), L"");
    EXPECT_EQ(cycleAt(t1 + 60000), L"");
    EXPECT_EQ(cycleAt(t1 + 60001), L"bored");

    // Any message resets the minute, even one that adds no line.
    const uint32_t t2 = t1 + 60001;
    postAt(t2 + 40000, EventMessage{tavi::EventMessage::Named, L"not_in_table", {}});
    EXPECT_EQ(cycleAt(t2 + 60001), L"");
    EXPECT_EQ(cycleAt(t2 + 40000 + 60000), L"");
    EXPECT_EQ(cycleAt(t2 + 40000 + 60001), L"bored");
}

TEST_F(EngineTest, BoredomStaysRightWhenTheClockWraps) {
    const uint32_t t0 = 0xFFFFFFFFu - 1000;
    postAt(t0, tavi::events::unitWakeup());
    ASSERT_EQ(cycleAt(t0), L"wake");
    // 3000 ms later the clock has wrapped past zero: neither bored nor in a hurry.
    EXPECT_EQ(cycleAt(t0 + 3000), L"");
    postAt(t0 + 3000, freeText(L"x"));
    EXPECT_EQ(cycleAt(t0 + 4000), L"");
    EXPECT_EQ(cycleAt(t0 + 5000), L"through:");
    EXPECT_EQ(cycleAt(t0 + 5000 + 60000), L"");
    EXPECT_EQ(cycleAt(t0 + 5000 + 60001), L"bored");
}

TEST_F(EngineTest, QuietHoldsConversationBackButLetsEventLinesThrough) {
    const uint32_t t0 = 300000;
    postAt(t0, tavi::events::unitWakeup());
    ASSERT_EQ(cycleAt(t0), L"wake");

    // The silence passes a minute while quiet: boredom lines collect but none is said.
    EXPECT_EQ(cycleAt(t0 + 60001, true), L"");
    EXPECT_EQ(cycleAt(t0 + 60201, true), L"");
    EXPECT_EQ(cycleAt(t0 + 60401, true), L"");

    // An event line is still said while quiet.
    postAt(t0 + 60500, tavi::events::unitDrag());
    EXPECT_EQ(cycleAt(t0 + 60600, true), L"drag");
    // Past the 2000 ms pause after it, conversation is still held back.
    EXPECT_EQ(cycleAt(t0 + 63000, true), L"");

    // When quiet ends one of the collected lines is said, and the others are dropped.
    EXPECT_EQ(cycleAt(t0 + 63200), L"bored");
    EXPECT_EQ(cycleAt(t0 + 65400), L"");
    EXPECT_EQ(cycleAt(t0 + 80000), L"");
}

TEST_F(EngineTest, EventsOfOneCyclePoolTheirLinesIntoOneResponse) {
    std::set<std::wstring> seen;
    for (int round = 0; round < 40; ++round) {
        const uint32_t t = 1000000 + uint32_t(round) * 10000;
        postAt(t, tavi::events::unitDrag());
        postAt(t + 10, tavi::events::unitDrop());
        EXPECT_FALSE(engine_->hasEventLines());  // nothing is collected before process
        const std::wstring said = cycleAt(t + 100);
        ASSERT_TRUE(said == L"drag" || said == L"drop") << round;
        seen.insert(said);
        // The line not drawn is gone.
        EXPECT_FALSE(engine_->hasEventLines());
        EXPECT_EQ(cycleAt(t + 300), L"");
        EXPECT_EQ(cycleAt(t + 5000), L"");
    }
    // Both lines are drawn over many rounds (each round has a 1/2 chance per line).
    EXPECT_EQ(seen.size(), 2u);
}

TEST_F(EngineTest, MessagesOfOtherKindsAreIgnoredButCountAsActivity) {
    const uint32_t t0 = 500000;
    postAt(t0, EventMessage{});
    EXPECT_EQ(cycleAt(t0 + 100), L"");
    EXPECT_FALSE(engine_->hasEventLines());
    EXPECT_EQ(cycleAt(t0 + 60000), L"");
    EXPECT_EQ(cycleAt(t0 + 60001), L"bored");
}

// ---- loading -------------------------------------------------------------------------------

TEST(EngineLoading, StopFlagLeavesTheRemainingFilesUnlearnt) {
    TempFolder folder;
    for (int i = 0; i < 4; ++i)
        writeBytes(folder / (L"models/corpus/f" + std::to_wstring(i) + L".txt"), "text");
    writeBytes(folder / L"event.json", EventTable);
    std::atomic<float> progress{0.75f};
    std::atomic<bool> stop{true};
    Engine engine(folder.path(), 3, progress, stop, [] { return 10u; });
    // Loading left before the first file: progress was reset and never advanced.
    EXPECT_EQ(progress.load(), 0.0f);
    // The tables were loaded all the same.
    engine.post(tavi::events::unitWakeup());
    Response r;
    ASSERT_TRUE(engine.cycle(false, r));
    EXPECT_EQ(r.text, L"wake");
}

}  // namespace
