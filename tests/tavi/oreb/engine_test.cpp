// The conversation engine driven by a hand-set millisecond clock: event lines before chatter,
// the pause before conversation lines, boredom after a silent minute, the quiet rule, pooled
// events, and loading with progress and the stop flag.
#include "tavi/oreb/engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>

#include "support/tempfolder.h"

namespace tavi::oreb {
namespace {

using test::writeBytes;

const char* const EventTable = R"({"unit_wakeup": ["wake"], "unit_drag": {"action": "grab", "texts": ["drag"]},
                                   "unit_drop": ["drop"]})";

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        writeBytes(folder_ / L"event.json", EventTable);
        writeBytes(
            folder_ / L"response.json",
            R"({"boredom": {"action": "yawn", "texts": ["bored"]}, "through": {"texts": ["through:%keyword%"]}})");
        engine_ = std::make_unique<Engine>(folder_.path(), 3, progress_, stop_, [this] { return now_.load(); });
    }

    // Steps at times after t0: "+name" posts that event, "?text" free text, "*" a message of
    // another kind; "=line" runs a cycle that must say the line ("=" nothing), "~" a quiet one.
    struct Step {
        uint32_t at;
        const wchar_t* act;
    };
    void run(uint32_t t0, std::initializer_list<Step> steps) {
        for (const auto& [at, act] : steps) {
            now_ = t0 + at;
            const std::wstring rest = act + 1;
            if (*act == '+') engine_->post(EventMessage{EventMessage::Named, rest, {}});
            if (*act == '?') engine_->post(EventMessage{EventMessage::FreeText, rest, {}});
            if (*act == '*') engine_->post(EventMessage{});
            Response r;
            if (*act == '=' || *act == '~') {
                EXPECT_EQ(engine_->cycle(*act == '~', r) ? r.text : L"", rest) << "at " << at;
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
    run(100000, {{0, L"+unit_wakeup"},
                 {200, L"=wake"},
                 {300, L"?hello"},
                 {400, L"="},
                 {500, L"+unit_drop"},
                 {600, L"=drop"},
                 {1600, L"+not_in_table"},
                 {3599, L"="},
                 {3600, L"=through:"},
                 {6600, L"="}});
    // The same across the wrap of the counter.
    run(0xFFFFFFFFu - 1000, {{0, L"+unit_wakeup"},
                             {0, L"=wake"},
                             {3000, L"="},
                             {3000, L"?x"},
                             {4000, L"="},
                             {5000, L"=through:"},
                             {65000, L"="},
                             {65001, L"=bored"}});
}

TEST_F(EngineTest, BoredomFollowsMoreThanAMinuteOfSilenceAndAnyMessageResetsTheMinute) {
    run(200000, {{0, L"+unit_wakeup"},
                 {0, L"=wake"},
                 {30000, L"="},
                 {60000, L"="},
                 {60001, L"=bored"},
                 {60201, L"="},
                 {120001, L"="},
                 {120002, L"=bored"},  // the boredom line resets it too
                 {160002, L"+not_in_table"},
                 {180003, L"="},
                 {220002, L"="},
                 {220003, L"=bored"},
                 {220103, L"*"},
                 {220203, L"="}});
    EXPECT_FALSE(engine_->hasEventLines());              // a message of another kind adds nothing...
    run(200000, {{280103, L"="}, {280104, L"=bored"}});  // ...but resets the minute
}

TEST_F(EngineTest, QuietHoldsConversationBackLetsEventLinesThroughAndKeepsOneHeldLine) {
    run(300000, {{0, L"+unit_wakeup"},
                 {0, L"=wake"},
                 {60001, L"~"},
                 {60201, L"~"},
                 {60401, L"~"},
                 {60500, L"+unit_drag"},
                 {60600, L"~drag"},
                 {63000, L"~"},
                 {63200, L"=bored"},
                 {65400, L"="},
                 {80000, L"="}});
}

TEST_F(EngineTest, EventsOfOneCyclePoolTheirLinesIntoOneResponse) {
    std::set<std::wstring> seen;
    for (uint32_t t = 1000000; t < 1200000; t += 10000) {
        run(t, {{0, L"+unit_drag"}, {10, L"+unit_drop"}});
        EXPECT_FALSE(engine_->hasEventLines());  // nothing is collected before the cycle
        Response r;
        now_ = t + 100;
        ASSERT_TRUE(engine_->cycle(false, r));
        seen.insert(r.text);
        EXPECT_FALSE(engine_->hasEventLines());  // the line not drawn is gone
        run(t, {{300, L"="}, {5000, L"="}});
    }
    EXPECT_EQ(seen, (std::set<std::wstring>{L"drag", L"drop"}));
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
