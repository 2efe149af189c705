// The conversation engine driven by a hand-set millisecond clock: event lines before chatter,
// the pause before conversation lines, boredom after a silent minute, the quiet rule, pooled
// events, when the next cycle is due, and loading with progress and the stop flag.
#include "tavi/oreb/engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <sstream>

#include "support/tempfolder.h"

namespace tavi::oreb {
namespace {

using test::writeBytes;

const char* const EventTable = R"({"unit_wakeup": ["wake"], "unit_drag": {"action": "grab", "texts": ["drag"]},
                                   "unit_drop": ["drop"]})";

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        start(R"({"boredom": {"action": "yawn", "texts": ["bored"]}, "through": {"texts": ["through:%keyword%"]}})");
    }
    void start(const char* responses) {
        writeBytes(folder_ / L"event.json", EventTable);
        writeBytes(folder_ / L"response.json", responses);
        engine_ = std::make_unique<Engine>(folder_.path(), 3, progress_, stop_, [this] { return now_.load(); });
    }

    // Steps "<ms after t0> <act>", separated by commas: "+name" posts that event, "?text" free
    // text, "*" a message of another kind; "=line" runs a cycle that must say the line ("="
    // nothing), "~line" a quiet one; "^ms" and "_ms" check when the next cycle (a quiet one)
    // is due, "never" for Engine::NeverDue.
    void run(uint32_t t0, const std::wstring& steps) {
        std::wistringstream in(steps);
        uint32_t at = 0;
        std::wstring act;
        while (in >> at && std::getline(in >> std::ws, act, L',')) {
            while (!act.empty() && act.back() == L' ') act.pop_back();
            now_ = t0 + at;
            const std::wstring rest = act.substr(1);
            if (act[0] == L'+') engine_->post(EventMessage{EventMessage::Named, rest, {}});
            if (act[0] == L'?') engine_->post(EventMessage{EventMessage::FreeText, rest, {}});
            if (act[0] == L'*') engine_->post(EventMessage{});
            Response r;
            if (act[0] == L'=' || act[0] == L'~') {
                EXPECT_EQ(engine_->cycle(act[0] == L'~', r) ? r.text : L"", rest) << "at " << at;
            }
            if (act[0] == L'^' || act[0] == L'_') {
                const uint32_t due = engine_->dueIn(act[0] == L'_');
                EXPECT_EQ(due == Engine::NeverDue ? L"never" : std::to_wstring(due), rest) << "at " << at;
            }
        }
    }

    test::TempFolder folder_;
    std::atomic<float> progress_{0.5f};
    std::atomic<bool> stop_{false};
    std::atomic<uint32_t> now_{0};
    std::unique_ptr<Engine> engine_;
};

TEST_F(EngineTest, EventLinesComeFirstAndChatterWaitsTwoSecondsAfterAnyActivity) {
    EXPECT_EQ(progress_.load(), 1.0f);  // the tables loaded, no corpus files to learn
    // An event arriving while a conversation line waits is said at once; its response, and a
    // message that adds no line, restart the wait. The line is taken once.
    run(100000,
        L"0 +unit_wakeup, 200 =wake, 300 ?hello, 400 =, 500 +unit_drop, 600 =drop, 1600 +not_in_table,"
        L"3599 =, 3600 =through:, 6600 =,"
        // Both due in one cycle: the event line still goes first.
        L"7000 ?x, 7100 +unit_drop, 9600 =drop, 11599 =, 11600 =through:");
    // The same across the wrap of the counter.
    run(0xFFFFFFFFu - 1000, L"0 +unit_wakeup, 0 =wake, 3000 =, 3000 ?x, 4000 =, 5000 =through:, 65000 =, 65001 =bored");
}

TEST_F(EngineTest, BoredomFollowsMoreThanAMinuteOfSilenceAndAnyMessageResetsTheMinute) {
    // The boredom line itself resets the minute, as does any message.
    run(200000,
        L"0 +unit_wakeup, 0 =wake, 30000 =, 60000 =, 60001 =bored, 60201 =, 120001 =, 120002 =bored,"
        L"160002 +not_in_table, 180003 =, 220002 =, 220003 =bored, 220103 *, 220203 =");
    EXPECT_FALSE(engine_->hasEventLines());   // a message of another kind adds nothing...
    run(200000, L"280103 =, 280104 =bored");  // ...but resets the minute
}

TEST_F(EngineTest, QuietHoldsConversationBackLetsEventLinesThroughAndKeepsOneHeldLine) {
    run(300000,
        L"0 +unit_wakeup, 0 =wake, 60001 ~, 60201 ~, 60401 ~, 60500 +unit_drag, 60600 ~drag, 63000 ~,"
        L"63200 =bored, 65400 =, 80000 =");
}

TEST_F(EngineTest, EventsOfOneCyclePoolTheirLinesIntoOneResponse) {
    std::set<std::wstring> seen;
    for (uint32_t t = 1000000; t < 1200000; t += 10000) {
        run(t, L"0 +unit_drag, 10 +unit_drop");
        EXPECT_FALSE(engine_->hasEventLines());  // nothing is collected before the cycle
        Response r;
        now_ = t + 100;
        ASSERT_TRUE(engine_->cycle(false, r));
        seen.insert(r.text);
        EXPECT_FALSE(engine_->hasEventLines());  // the line not drawn is gone
        run(t, L"300 =, 5000 =");
    }
    EXPECT_EQ(seen, (std::set<std::wstring>{L"drag", L"drop"}));
}

// The brain's worker sleeps until the engine is due: a due time later than the next line
// would delay or lose it.
TEST_F(EngineTest, EachRuleIsDueWhenItsLineCanBeSaidAndNeverWhenNothingCanChange) {
    run(500000, L"0 +unit_wakeup, 0 ^0, 0 =wake, 100 ^59901, 60000 =, 60000 ^1, 60001 =bored,"
                // A conversation line waits 2000 ms after its message, or for quiet to end.
                L"70000 ?x, 70000 =, 70500 ^1500, 70500 _59501, 72500 ^0,"
                L"130001 ~, 130002 _never, 130002 ^0");
    Response r;
    EXPECT_TRUE(engine_->cycle(false, r)) << "quiet ended, yet the collected lines are not said";
    start("{}");  // without boredom lines a silent engine waits for messages
    run(10, L"0 +unit_wakeup, 0 =wake, 60001 ^0, 60001 =, 60002 ^never");
}

TEST(EngineLoading, TheStopFlagLeavesTheCorpusUnlearntButTheTablesLoaded) {
    test::TempFolder folder;
    for (int i = 0; i < 4; ++i) writeBytes(folder / (L"models/corpus/f" + std::to_wstring(i) + L".txt"), "text");
    writeBytes(folder / L"event.json", EventTable);
    std::atomic<float> progress{0.75f};
    std::atomic<bool> stop{true};
    Engine engine(folder.path(), 3, progress, stop, [] { return 10u; });
    EXPECT_EQ(progress.load(), 0.0f);  // reset, and never advanced
    engine.post(EventMessage{EventMessage::Named, L"unit_wakeup", {}});
    Response r;
    ASSERT_TRUE(engine.cycle(false, r));
    EXPECT_EQ(r.text, L"wake");
}

}  // namespace
}  // namespace tavi::oreb
