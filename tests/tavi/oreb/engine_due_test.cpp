// When the engine's next cycle can change anything: the brain's worker sleeps until then, so
// a due time later than the next line would delay or lose it.
#include <gtest/gtest.h>

#include <atomic>

#include "support/tempfolder.h"
#include "tavi/events.h"
#include "tavi/oreb/engine.h"

namespace tavi::oreb {
namespace {

struct DueFixture {
    explicit DueFixture(const char* responses) {
        test::writeBytes(folder / L"event.json", R"({"unit_wakeup": ["wake"]})");
        test::writeBytes(folder / L"response.json", responses);
        engine = std::make_unique<Engine>(folder.path(), 3, progress, stop, [this] { return now.load(); });
    }
    std::wstring cycleAt(uint32_t time, bool quiet = false) {
        now = time;
        Response r;
        return engine->cycle(quiet, r) ? r.text : L"";
    }
    uint32_t dueAt(uint32_t time, bool quiet = false) {
        now = time;
        return engine->dueIn(quiet);
    }
    test::TempFolder folder;
    std::atomic<float> progress{0};
    std::atomic<bool> stop{false};
    std::atomic<uint32_t> now{0};
    std::unique_ptr<Engine> engine;
};

TEST(EngineDue, EachRuleIsDueWhenItsLineCanBeSaidAndNeverWhenNothingCanChange) {
    DueFixture f(R"({"boredom": {"texts": ["bored"]}, "through": {"texts": ["uh-huh"]}})");
    const uint32_t t0 = 500000;
    f.now = t0;
    f.engine->post(events::unitWakeup());
    EXPECT_EQ(f.dueAt(t0), 0u);  // a message waits
    ASSERT_EQ(f.cycleAt(t0), L"wake");
    EXPECT_EQ(f.dueAt(t0 + 100), 59901u);  // the minute of boredom
    EXPECT_EQ(f.cycleAt(t0 + 60000), L"");
    EXPECT_EQ(f.dueAt(t0 + 60000), 1u);
    EXPECT_EQ(f.cycleAt(t0 + 60001), L"bored");

    // A conversation line waits 2000 ms after its message, or for quiet to end.
    const uint32_t t1 = t0 + 70000;
    f.now = t1;
    f.engine->post(EventMessage{EventMessage::FreeText, L"x", {}});
    EXPECT_EQ(f.cycleAt(t1), L"");
    EXPECT_EQ(f.dueAt(t1 + 500), 1500u);
    EXPECT_EQ(f.dueAt(t1 + 500, true), 59501u);
    EXPECT_EQ(f.dueAt(t1 + 2500), 0u);
    EXPECT_EQ(f.cycleAt(t1 + 60001, true), L"");  // quiet past the minute: collected
    EXPECT_EQ(f.dueAt(t1 + 60002, true), Engine::NeverDue);
    EXPECT_EQ(f.dueAt(t1 + 60002), 0u);
    EXPECT_NE(f.cycleAt(t1 + 60002), L"");
}

TEST(EngineDue, WithoutBoredomLinesASilentEngineWaitsForMessages) {
    DueFixture f("{}");
    f.now = 10;
    f.engine->post(events::unitWakeup());
    ASSERT_EQ(f.cycleAt(10), L"wake");
    EXPECT_EQ(f.dueAt(60011), 0u);  // the boredom rule has not been asked yet
    EXPECT_EQ(f.cycleAt(60011), L"");
    EXPECT_EQ(f.dueAt(60012), Engine::NeverDue);
}

}  // namespace
}  // namespace tavi::oreb
