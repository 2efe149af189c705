// What wakes the main window for the tools while the characters are still: an event raised
// on any thread, and the clock's next minute, held to the once-a-second cadence.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "tavi/events.h"
#include "tavi/tool/clock.h"
#include "tavi/tool/registry.h"

namespace tavi::tool {
namespace {

TEST(ToolDue, AnEventRaisedOnAnyThreadWakesTheLoopAndIsDueAtOnce) {
    uint32_t now = 1000;
    Registry registry(Registry::Empty{}, [&] { return now; });
    registry.add(L"early", std::make_unique<IToolKit>());
    std::atomic<int> wakes{0};
    registry.setWake([&] { ++wakes; });
    registry.add(L"late", std::make_unique<IToolKit>());
    EXPECT_EQ(registry.dueIn(), IToolKit::NeverDue);  // nobody waits for anything

    std::thread([&] { registry.find(L"early")->raise(events::toolAfk()); }).join();
    registry.find(L"late")->raise(events::toolAfk());
    EXPECT_EQ(wakes, 2);
    EventMessage out;
    ASSERT_TRUE(registry.pollOne(out));
    EXPECT_EQ(registry.dueIn(), 0u);  // the second event waits for the next tick
    ASSERT_TRUE(registry.pollOne(out));
    EXPECT_EQ(registry.dueIn(), IToolKit::NeverDue);
}

TEST(ToolDue, TheClockIsDueAtTheNextMinuteButNotBeforeTheSecondCadence) {
    uint32_t now = 50000;
    kiro::LocalTime local;
    local.hour = 9;
    local.minute = 59;
    local.second = 30;
    Registry registry(Registry::Empty{}, [&] { return now; });
    registry.add(L"clock", std::make_unique<Clock>([&] { return local; }));
    EXPECT_EQ(registry.dueIn(), 30000u);
    local.second = 59;
    now += 200;  // a second round ran 200 ms ago, at the registry's start
    EXPECT_EQ(registry.dueIn(), 1000u);
    now += 100;
    local.second = 59;
    registry.tick();  // no round yet: 300 ms since the last
    now += 700;
    local = {0, 0, 0, 10, 0, 0, 0};
    EXPECT_EQ(registry.dueIn(), 1u);  // the minute has come; the cadence lets it run 1 ms on
    now += 1;
    registry.tick();
    EventMessage out;
    ASSERT_TRUE(registry.pollOne(out));
    EXPECT_EQ(out.name, L"tool_clock_houry");
}

}  // namespace
}  // namespace tavi::tool
