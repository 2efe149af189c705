// Units with real windows and real brain threads: the bootstrap list, the loading line, muting,
// and the rule that keeps two characters' chatter from coming at once (checked on the UI thread
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

std::wstring newestLine(Body* body) {
    const auto& lines = body->balloon().lines().lines();
    return lines.empty() ? L"" : lines.back().text;
}

class UnitTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(uitest::start()); }
    test::UnitFolder folder;
};

TEST_F(UnitTest, TheBootstrapBuildsTheNamedUnitsInOrderAndAMutedOneDropsItsResponsesInsteadOfDelayingThem) {
    folder.addUnit("a", R"({"unit_wakeup": ["おはよう"], "unit_drag": ["わっ"]})");
    folder.addUnit("b", "{}");
    folder.write("units/bootstrap.json", R"({"units": ["a", "b"], "other": 1})");
    MultiUnit units(nullptr);
    ASSERT_EQ(units.units().size(), 2u);
    EXPECT_EQ(units.primaryBody(), units.units()[0]->body());
    // The first unit shows its loading line.
    Unit& unit = *units.units()[0];
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

TEST_F(UnitTest, CharactersWhoseSilenceEndsTogetherTakeTurnsButEventLinesDoNotWait) {
    // A's line stays 8 seconds: B's event line comes while it shows.
    folder.addUnit("a", "{}",
                   R"({"boredom": {"texts": ["あのね、きいてきいて。あのね、きいてきいて。あのね、きいてきいて。"]}})");
    folder.addUnit("b", R"({"unit_drag": ["つかまれた"]})",
                   R"({"boredom": {"texts": ["ねえねえ"], "action": "happy"}})");
    // Every reading of this clock is a minute later: each brain is bored in its first cycle.
    auto minutes = std::make_shared<std::atomic<uint32_t>>(0);
    std::atomic<int> waiting{0};
    BrainOptions options;
    options.clock = [minutes] { return *minutes += 61000; };
    options.wake = [&] { ++waiting; };
    Unit a(nullptr, L"a", options), b(nullptr, L"b", options);
    ASSERT_TRUE(uitest::waitUntil([&] { return waiting >= 2; }, 20000)) << "both brains have a line ready";

    auto both = [&] { a.update(0.05f), b.update(0.05f); };
    both();
    EXPECT_TRUE(a.body()->isSpeaking() && !b.body()->isSpeaking());
    b.post(events::unitDrag());  // an event line passes while A talks
    ASSERT_TRUE(tickUntil(
        both, [&] { return b.body()->isSpeaking(); }, 2000));
    EXPECT_TRUE(newestLine(b.body()) == L"つかまれた" && a.body()->isSpeaking());
    // B's line of boredom, held, comes once both balloons are empty.
    ASSERT_TRUE(tickUntil(
        both, [&] { return newestLine(b.body()) == L"ねえねえ"; }, 20000));
    EXPECT_FALSE(a.body()->isSpeaking()) << "the held line came while A talked";
    EXPECT_EQ(b.body()->skin().currentName(), L"happy");
}

}  // namespace
}  // namespace tavi
