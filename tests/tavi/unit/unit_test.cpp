// Units with real windows and real brain threads: the bootstrap list, the loading line, muting,
// and the rule that keeps two characters from talking at once (checked again on the UI thread
// before a line is shown, for brains that draw their lines at the same moment).
#include "tavi/unit/unit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <regex>

#include "support/unitfolder.h"
#include "tavi/body/body.h"
#include "tavi/body/skin.h"
#include "tavi/body/statusline.h"
#include "tavi/body/textbox.h"
#include "tavi/events.h"

namespace tavi {
namespace {

using test::tickUntil;

const char* WakeupTable = R"({"unit_wakeup": ["おはよう"], "unit_drag": ["わっ"]})";

std::wstring newestLine(Body* body) {
    const auto& lines = body->balloon().lines().lines();
    return lines.empty() ? L"" : lines.back().text;
}

class UnitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(uitest::start()); }
    test::UnitFolder folder;
};

TEST_F(UnitTest, TheBootstrapBuildsEveryNamedUnitInOrderWithTheFirstAsPrimary) {
    folder.addUnit("a", WakeupTable);
    folder.addUnit("b", WakeupTable);
    folder.writeBootstrap(R"({"units": ["a", "b"], "other": 1})");
    MultiUnit units(nullptr);
    ASSERT_EQ(units.units().size(), 2u);
    EXPECT_EQ(units.primaryBody(), units.units()[0]->body());
    EXPECT_NE(units.units()[0]->body(), units.units()[1]->body());
}

TEST_F(UnitTest, AMutedUnitShowsItsLoadingLineAndDropsItsResponsesInsteadOfDelayingThem) {
    folder.addUnit("a", WakeupTable);
    Unit unit(nullptr, L"a");
    unit.setMute(true);
    unit.update(0.05f);
    EXPECT_TRUE(std::regex_match(unit.body()->status().text(), std::wregex(L"initializing \\d+\\.\\d %")));
    // The wake-up line comes about a second after loading; it must never show.
    auto tick = [&] { unit.update(0.05f); };
    auto speaks = [&] { return unit.body()->isSpeaking(); };
    EXPECT_FALSE(tickUntil(tick, speaks, 2500));
    unit.setMute(false);
    unit.post(events::unitDrag());
    ASSERT_TRUE(tickUntil(tick, speaks, 3000));
    EXPECT_EQ(newestLine(unit.body()), L"わっ");
}

TEST_F(UnitTest, ChatterWaitsWhileAnyCharacterTalksButEventLinesDoNot) {
    // A talks on waking up; B has nothing to say on waking up but grows bored.
    folder.addUnit("a", R"({"unit_wakeup": ["ずっとしゃべっているよ、ずっとしゃべっているよ"]})");
    folder.addUnit("b", R"({"unit_drag": ["つかまれた"]})",
                   R"({"boredom": {"texts": ["ひまだなあ"], "action": "happy"}})");
    std::atomic<uint32_t> now{1000000};
    BrainOptions options;
    options.clock = [&] { return now.load(); };
    Unit a(nullptr, L"a", options), b(nullptr, L"b", options);
    auto both = [&] { a.update(0.05f), b.update(0.05f); };
    auto bSpeaks = [&] { return b.body()->isSpeaking(); };
    ASSERT_TRUE(tickUntil(
        both, [&] { return a.body()->isSpeaking(); }, 5000));
    now += 61000;  // B has been silent for over a minute, but A is talking
    EXPECT_FALSE(tickUntil(both, bSpeaks, 1000));
    b.post(events::unitDrag());  // an event line still passes
    ASSERT_TRUE(tickUntil(both, bSpeaks, 2000));
    EXPECT_EQ(newestLine(b.body()), L"つかまれた");
    // B grows bored again while the balloons still show: the line waits until both are empty.
    now += 61000;
    ASSERT_TRUE(tickUntil([&] { a.update(0.5f), b.update(0.5f); },
                          [&] { return newestLine(b.body()) == L"ひまだなあ"; }, 10000));
    EXPECT_FALSE(a.body()->isSpeaking()) << "the boredom line came while A talked";
    EXPECT_EQ(b.body()->skin().currentName(), L"happy");
}

TEST_F(UnitTest, CharactersWhoseSilenceEndsTogetherTakeTurns) {
    folder.addUnit("a", "{}", R"({"boredom": {"texts": ["あのね"]}})");
    folder.addUnit("b", "{}", R"({"boredom": {"texts": ["ねえねえ"]}})");
    // Every reading of this clock is a minute later: each brain is bored in its first cycle.
    auto minutes = std::make_shared<std::atomic<uint32_t>>(0);
    std::atomic<int> waiting{0};
    BrainOptions options;
    options.clock = [minutes] { return *minutes += 61000; };
    options.wake = [&] { ++waiting; };
    Unit a(nullptr, L"a", options), b(nullptr, L"b", options);
    ASSERT_TRUE(uitest::waitUntil([&] { return waiting >= 2; }, 20000)) << "both brains have a line ready";

    a.update(0.05f);
    b.update(0.05f);
    EXPECT_TRUE(a.body()->isSpeaking() && !b.body()->isSpeaking());
    for (int tick = 0; tick < 400 && a.body()->isSpeaking(); ++tick) {
        a.update(0.05f), b.update(0.05f);
        ASSERT_FALSE(a.body()->isSpeaking() && b.body()->isSpeaking()) << "talking over, tick " << tick;
    }
    ASSERT_FALSE(a.body()->isSpeaking());
    EXPECT_EQ(newestLine(b.body()), L"ねえねえ") << "the held line comes as soon as the other is silent";
}

}  // namespace
}  // namespace tavi
