// The millisecond clock advances in milliseconds; the local time has the calendar's fields.
#include "kiro/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

TEST(Clock, TicksAreMillisecondsAndTheLocalTimeIsTodays) {
    const uint32_t a = kiro::tickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const uint32_t elapsed = kiro::tickCount() - a;  // unsigned difference survives the wrap
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 5000u);
    const kiro::LocalTime t = kiro::localTime();
    const std::time_t now = std::time(nullptr);
    const std::tm* c = std::localtime(&now);
    EXPECT_NEAR(t.year * 372 + t.month * 31 + t.day, (c->tm_year + 1900) * 372 + (c->tm_mon + 1) * 31 + c->tm_mday, 1);
    EXPECT_TRUE(t.hour <= 23 && t.minute <= 59 && t.dayOfWeek <= 6);
}
