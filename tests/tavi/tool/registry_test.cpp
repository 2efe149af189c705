// The tool registry: routing of commands, the tick cadence across a wrap of the millisecond
// counter, one event taken per poll, and when the tools are next due.
#include "tavi/tool/registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "support/scoped_folders.h"
#include "support/uidriver.h"
#include "tavi/tool/clock.h"

namespace tavi::tool {
namespace {

struct Probe : IToolKit {
    int ticks = 0, seconds = 0, minutes = 0;
    std::vector<std::wstring> commands;
    std::vector<uint32_t> secondTimes;
    const uint32_t* now = nullptr;
    void command(const Command& c) override {
        commands.push_back(c.text + L" x=" + (c.hasOption(L"x") ? c.options.at(L"x") : L""));
    }
    void tick() override { ++ticks; }
    void everySecond() override { ++seconds, secondTimes.push_back(*now); }
    void everyMinute() override { ++minutes; }
};

struct Fixture {
    uint32_t now;
    Registry registry{Registry::Empty{}, [this] { return now; }};
    Probe* a = new Probe;
    Probe* b = new Probe;
    explicit Fixture(uint32_t start) : now(start) {
        a->now = b->now = &now;
        registry.add(L"a", std::unique_ptr<IToolKit>(a));
        registry.add(L"b", std::unique_ptr<IToolKit>(b));
    }
    void advance(uint32_t ms) { now += ms, registry.tick(); }
};

TEST(Registry, DispatchRoutesToTheNamedToolOnlyAndEventsWakeTheLoopOnePerPoll) {
    Fixture f(0);
    EXPECT_TRUE(f.registry.dispatch(L"b -x:5 arg"));
    for (const wchar_t* s : {L"", L"c -x", L"ab", L" a", L"a1", L"A"}) EXPECT_FALSE(f.registry.dispatch(s));
    EXPECT_EQ(f.b->commands, std::vector<std::wstring>{L"b -x:5 arg x=5"});
    EXPECT_TRUE(f.a->commands.empty());
    // An event raised on any thread, by a tool added before the wake-up was set or after it,
    // wakes the loop and is due at once; each poll takes one.
    std::atomic<int> wakes{0};
    f.registry.setWake([&] { ++wakes; });
    f.registry.add(L"late", std::make_unique<IToolKit>());
    EXPECT_EQ(f.registry.dueIn(), IToolKit::NeverDue);  // nobody waits for anything
    std::thread([&] { f.a->raise(EventMessage{EventMessage::Named, L"first", {}}); }).join();
    f.registry.find(L"late")->raise(EventMessage{EventMessage::Named, L"second", {}});
    f.a->raise(EventMessage{EventMessage::Named, L"first", {}});
    EXPECT_EQ(wakes, 3);
    std::multiset<std::wstring> got;
    for (int tick = 0; tick < 5; ++tick) {
        EXPECT_EQ(f.registry.dueIn(), tick < 3 ? 0u : IToolKit::NeverDue) << tick;
        f.advance(50);
        EventMessage out;
        out.name = L"untouched";
        f.registry.pollOne(out);
        got.insert(out.name);
    }
    EXPECT_EQ(got, (std::multiset<std::wstring>{L"first", L"first", L"second", L"untouched", L"untouched"}));
}

TEST(Registry, TheProgramsRegistryHoldsTheRealTools) {
    // The feed reader, holding no items yet, only says so and writes no page.
    ASSERT_TRUE(uitest::start());
    const test::ScopedWorkFolder folder;  // no feed list, and room for a page
    Registry program(
        nullptr, [] { return 5u; }, [] { return kiro::LocalTime{}; });
    EXPECT_TRUE(program.find(L"afk") && program.find(L"clock") && program.find(L"memo") && program.find(L"rss"));
    EXPECT_TRUE(program.dispatch(L"rss -dump"));
    EventMessage out;
    ASSERT_TRUE(program.pollOne(out));
    EXPECT_EQ(out.name, L"tool_feed_empty");
    EXPECT_FALSE(program.pollOne(out));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "temp"));
}

TEST(Registry, SecondsAndMinutesAreDueFromTheLastRoundAcrossTheCounterWrap) {
    const uint32_t start = 0xFFFFFFFFu - 30000;  // wraps half a minute in
    Fixture w(start);
    for (int i = 0; i < 2600; ++i) w.advance(50);  // 130 s of 50 ms ticks
    EXPECT_EQ(w.a->ticks + w.b->ticks, 5200);
    // Every 1050 ms (the first tick more than 1000 ms after the last round), wrap or not.
    ASSERT_EQ(w.a->seconds + w.b->seconds, 2 * 123);
    uint32_t previous = start;
    for (uint32_t t : w.a->secondTimes) EXPECT_EQ(uint32_t(t - std::exchange(previous, t)), 1050u);
    EXPECT_EQ(w.a->minutes, 2);  // at 60050 and 120100 ms
    Fixture f(1000);             // a minute is due more than 60000 ms after the start
    f.now = 1000 + 60000;
    f.advance(0);
    EXPECT_EQ(f.a->minutes, 0);
    f.advance(1);
    EXPECT_EQ(f.a->minutes, 1);
}

// The clock's next minute wakes the main window, held to the once-a-second cadence; and what
// the clock raises then.
TEST(ToolDue, TheClockIsDueAtTheNextMinuteButNotBeforeTheSecondCadenceAndStrikesAtEveryNewHour) {
    Fixture f(50000);  // the probes are never due, and strike nothing
    kiro::LocalTime local{0, 0, 0, 9, 59, 30, 0};
    f.registry.add(L"clock", std::make_unique<Clock>([&] { return local; }));
    EXPECT_EQ(f.registry.dueIn(), 30000u);
    local.second = 59;
    f.now += 200;  // a second round ran 200 ms ago, at the registry's start
    EXPECT_EQ(f.registry.dueIn(), 1000u);
    f.advance(100);  // no round yet: 300 ms since the last
    f.now += 700;
    local = {0, 0, 0, 10, 0, 0, 0};
    EXPECT_EQ(f.registry.dueIn(), 1u);  // the minute has come; the cadence lets it run 1 ms on
    f.advance(1);
    // Every change of the hour, whichever way, strikes once, with the hour and minute as they
    // are (no leading zeros).
    std::wstring struck;
    for (const auto& [hour, minute] : {std::pair{10, 59}, {0, 0}, {0, 0}, {9, 7}, {5, 59}}) {
        for (EventMessage out; f.registry.pollOne(out);)
            struck += out.name + L" " + out.params.at(L"hour") + L":" + out.params.at(L"minute") + L"|";
        local.hour = hour, local.minute = minute;
        f.advance(1001);
    }
    EXPECT_EQ(struck, L"tool_clock_houry 10:0|tool_clock_houry 0:0|tool_clock_houry 9:7|");
    EventMessage out;
    ASSERT_TRUE(f.registry.pollOne(out));
    EXPECT_EQ(out.params.at(L"hour") + L":" + out.params.at(L"minute"), L"5:59");
    EXPECT_EQ(out.params.size(), 2u);
}

}  // namespace
}  // namespace tavi::tool
