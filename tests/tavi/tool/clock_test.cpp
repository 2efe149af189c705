// Tests of the clock tool on its own: which changes of the hour raise an event, and the params.
#include "tavi/tool/clock.h"

#include <gtest/gtest.h>

#include <vector>

using tavi::EventMessage;

namespace {

kiro::LocalTime at(int hour, int minute, int second = 0) {
    kiro::LocalTime t;
    t.hour = hour;
    t.minute = minute;
    t.second = second;
    return t;
}

std::vector<EventMessage> drain(tavi::IToolKit& tool) {
    std::vector<EventMessage> events;
    EventMessage out;
    while (tool.poll(out)) events.push_back(out);
    return events;
}

}  // namespace

TEST(Clock, EveryChangeOfTheHourRaisesOnce) {
    kiro::LocalTime now = at(23, 30);
    tavi::tool::Clock clock([&] { return now; });
    clock.everySecond();
    EXPECT_TRUE(drain(clock).empty());  // nothing at start-up

    now = at(0, 0, 1);  // past midnight
    clock.everySecond();
    clock.everySecond();
    auto events = drain(clock);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].params.at(L"hour"), L"0");
    EXPECT_EQ(events[0].params.at(L"minute"), L"0");

    now = at(9, 7);  // a jump of several hours, as after sleep
    clock.everySecond();
    now = at(5, 59);  // and one backwards
    clock.everySecond();
    events = drain(clock);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].params.at(L"hour"), L"9");
    EXPECT_EQ(events[0].params.at(L"minute"), L"7");  // no leading zero
    EXPECT_EQ(events[1].params.at(L"hour"), L"5");
    EXPECT_EQ(events[1].params.at(L"minute"), L"59");
    EXPECT_EQ(events[1].name, L"tool_clock_houry");
}

TEST(Clock, TheSharedEventKeepsNoParams) {
    kiro::LocalTime now = at(1, 0);
    tavi::tool::Clock clock([&] { return now; });
    now = at(2, 0);
    clock.everySecond();
    ASSERT_EQ(drain(clock).size(), 1u);
    EventMessage fresh;
    // Raising a copy with params must leave the process-wide constant as it was.
    now = at(3, 0);
    clock.everySecond();
    ASSERT_TRUE(clock.poll(fresh));
    EXPECT_EQ(fresh.params.at(L"hour"), L"3");
    now = at(4, 0);
    clock.everySecond();
    ASSERT_TRUE(clock.poll(fresh));
    EXPECT_EQ(fresh.params.size(), 2u);
    EXPECT_EQ(fresh.params.at(L"hour"), L"4");
}
