// The clock tool: which changes of the local hour raise its event, with which params.
#include "tavi/tool/clock.h"

#include <gtest/gtest.h>


namespace {

TEST(ClockTool, EveryChangeOfTheHourRaisesOnceWithHourAndMinuteWithoutLeadingZeros) {
    kiro::LocalTime now;
    now.hour = 23, now.minute = 30;
    tavi::tool::Clock clock([&] { return now; });
    std::vector<std::wstring> raised;
    auto run = [&](int hour, int minute) {
        now.hour = hour, now.minute = minute;
        clock.everySecond();
        tavi::EventMessage e;
        while (clock.poll(e))
            raised.push_back(e.name + L" " + e.params.at(L"hour") + L":" + e.params.at(L"minute") + L" " +
                             std::to_wstring(e.params.size()));
    };
    run(23, 59);  // nothing at start-up or within the hour
    run(0, 0);    // past midnight
    run(0, 0);
    run(9, 7);   // a jump of several hours, as after sleep
    run(5, 59);  // and one backwards
    EXPECT_EQ(raised, (std::vector<std::wstring>{L"tool_clock_houry 0:0 2", L"tool_clock_houry 9:7 2",
                                                 L"tool_clock_houry 5:59 2"}));
}

}  // namespace
