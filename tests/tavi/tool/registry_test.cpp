// Tests of the tool registry: routing of commands, the tick cadence across a wrap of the
// millisecond counter, and one event taken per poll.
#include "tavi/tool/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <vector>

#include "support/scoped_folders.h"
#include "tavi/tool/clock.h"

using tavi::EventMessage;
using tavi::tool::Command;
using tavi::tool::Registry;

namespace {

struct Probe : tavi::IToolKit {
    int ticks = 0, seconds = 0, minutes = 0, commands = 0;
    std::vector<uint32_t> secondTimes;
    const uint32_t* now = nullptr;
    std::wstring lastText;
    std::wstring lastX;

    void command(const Command& c) override {
        ++commands;
        lastText = c.text;
        lastX = c.hasOption(L"x") ? c.options.at(L"x") : L"";
    }
    void tick() override { ++ticks; }
    void everySecond() override {
        ++seconds;
        if (now) secondTimes.push_back(*now);
    }
    void everyMinute() override { ++minutes; }
};

struct Fixture {
    uint32_t now = 0;
    Registry registry{Registry::Empty{}, [this] { return now; }};
    Probe* a = nullptr;
    Probe* b = nullptr;

    explicit Fixture(uint32_t start) : now(start) {
        auto pa = std::make_unique<Probe>();
        auto pb = std::make_unique<Probe>();
        a = pa.get();
        b = pb.get();
        a->now = b->now = &now;
        registry.add(L"a", std::move(pa));
        registry.add(L"b", std::move(pb));
    }
};

}  // namespace

TEST(Registry, BuildsTheProgramsTools) {
    const tavi::test::ScopedWorkFolder folder;  // no feed list, and room for a page
    Registry registry(nullptr, [] { return 5u; }, [] { return kiro::LocalTime{}; });
    EXPECT_EQ(registry.size(), 4u);
    for (const wchar_t* name : {L"afk", L"clock", L"memo", L"rss"})
        EXPECT_NE(registry.find(name), nullptr) << name;
    EXPECT_EQ(registry.find(L"AFK"), nullptr);
    // Each named tool takes its commands; the feed reader, holding no items yet, only says so
    // and writes no page.
    EXPECT_TRUE(registry.dispatch(L"memo"));
    EXPECT_TRUE(registry.dispatch(L"rss -dump"));
    EXPECT_TRUE(registry.dispatch(L"clock"));
    EventMessage out;
    ASSERT_TRUE(registry.pollOne(out));
    EXPECT_EQ(out.name, L"tool_feed_empty");
    EXPECT_FALSE(registry.pollOne(out));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "temp"));
}

TEST(Registry, DispatchRoutesToTheNamedToolOnly) {
    Fixture f(0);
    EXPECT_TRUE(f.registry.dispatch(L"b -x:5 arg"));
    EXPECT_EQ(f.b->commands, 1);
    EXPECT_EQ(f.b->lastText, L"b -x:5 arg");
    EXPECT_EQ(f.b->lastX, L"5");
    EXPECT_EQ(f.a->commands, 0);

    for (const wchar_t* s : {L"", L"c -x", L"ab", L" a", L"a1", L"A"}) {
        EXPECT_FALSE(f.registry.dispatch(s)) << "command " << std::string(s, s + std::wcslen(s));
    }
    EXPECT_EQ(f.a->commands, 0);
    EXPECT_EQ(f.b->commands, 1);
    EXPECT_EQ(f.a->ticks + f.a->seconds + f.a->minutes + f.b->ticks, 0);
}

TEST(Registry, OneEventPerPoll) {
    Fixture f(0);
    EventMessage first{EventMessage::Named, L"first", {{L"k", L"v"}}};
    EventMessage second{EventMessage::Named, L"second", {}};
    f.a->raise(first);
    f.b->raise(second);
    f.a->raise(first);

    std::vector<std::wstring> got;
    for (int tick = 0; tick < 5; ++tick) {
        f.registry.tick();
        EventMessage out;
        out.name = L"untouched";
        if (f.registry.pollOne(out)) got.push_back(out.name);
        else EXPECT_EQ(out.name, L"untouched");
    }
    ASSERT_EQ(got.size(), 3u);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(got, (std::vector<std::wstring>{L"first", L"first", L"second"}));
}

TEST(Registry, CadenceOfSecondsAndMinutes) {
    Fixture f(1000);
    for (int i = 0; i < 20; ++i) {  // up to 1000 ms after the start: not yet due
        f.now += 50;
        f.registry.tick();
    }
    EXPECT_EQ(f.a->ticks, 20);
    EXPECT_EQ(f.a->seconds, 0);
    f.now += 50;
    f.registry.tick();
    EXPECT_EQ(f.a->seconds, 1);
    EXPECT_EQ(f.b->seconds, 1);

    // The mark is set to the time of the call, not advanced by a fixed step.
    f.now += 5000;
    f.registry.tick();
    f.now += 1000;
    f.registry.tick();
    EXPECT_EQ(f.a->seconds, 2);
    f.now += 1;
    f.registry.tick();
    EXPECT_EQ(f.a->seconds, 3);
    EXPECT_EQ(f.a->minutes, 0);
    f.now = 1000 + 60001;
    f.registry.tick();
    EXPECT_EQ(f.a->minutes, 1);
}

TEST(Registry, CadenceContinuesAcrossTheCounterWrap) {
    const uint32_t start = 0xFFFFFFFFu - 30000;  // wraps half a minute in
    Fixture f(start);
    for (int i = 0; i < 2600; ++i) {  // 130 s of 50 ms ticks
        f.now += 50;
        f.registry.tick();
    }
    // Each call comes 1050 ms after the previous (the first tick past 1000 ms), wrap or not.
    ASSERT_EQ(f.a->seconds, 123);
    uint32_t previous = start;
    for (uint32_t t : f.a->secondTimes) {
        EXPECT_EQ(static_cast<uint32_t>(t - previous), 1050u);
        previous = t;
    }
    EXPECT_EQ(f.a->minutes, 2);  // at 60050 and 120100 ms
}

TEST(Registry, ClockRaisesOnceWhenTheHourTurns) {
    uint32_t now = 0;
    kiro::LocalTime local;
    local.hour = 9;
    local.minute = 59;
    local.second = 59;
    Registry registry(Registry::Empty{}, [&] { return now; });
    registry.add(L"clock", std::make_unique<tavi::tool::Clock>([&] { return local; }));

    std::vector<EventMessage> raised;
    int turnedAt = -1;
    // 09:59:59.000 to 10:59:59.950 in 50 ms ticks; local seconds follow the millisecond clock.
    for (int i = 1; i <= 72000; ++i) {
        now += 50;
        const uint32_t ms = 59 * 60 * 1000 + 59 * 1000 + now;  // since 09:00
        local.hour = 9 + static_cast<int>(ms / 3600000);
        local.minute = static_cast<int>(ms / 60000 % 60);
        local.second = static_cast<int>(ms / 1000 % 60);
        if (turnedAt < 0 && local.hour == 10) turnedAt = static_cast<int>(now);
        registry.tick();
        EventMessage out;
        while (registry.pollOne(out)) {
            raised.push_back(out);
            EXPECT_LE(static_cast<int>(now) - turnedAt, 1050);
        }
    }
    ASSERT_EQ(raised.size(), 1u);
    EXPECT_EQ(raised[0].kind, static_cast<uint32_t>(EventMessage::Named));
    EXPECT_EQ(raised[0].name, L"tool_clock_houry");
    EXPECT_EQ(raised[0].params.at(L"hour"), L"10");
    EXPECT_EQ(raised[0].params.at(L"minute"), L"0");
    EXPECT_EQ(raised[0].params.size(), 2u);
}
