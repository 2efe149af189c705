// The millisecond clock advances with real time; the local time agrees with the C library.
#include "kiro/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>

namespace {

TEST(Clock, TickCountAdvancesInMilliseconds) {
    const uint32_t a = kiro::tickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const uint32_t elapsed = kiro::tickCount() - a;  // unsigned difference survives the wrap
    EXPECT_GE(elapsed, 25u);
    EXPECT_LT(elapsed, 5000u);
}

TEST(Clock, LocalTimeFieldsAreInRangeAndCurrent) {
    const kiro::LocalTime t = kiro::localTime();
    EXPECT_GE(t.month, 1);
    EXPECT_LE(t.month, 12);
    EXPECT_GE(t.day, 1);
    EXPECT_LE(t.day, 31);
    EXPECT_LE(t.hour, 23);
    EXPECT_LE(t.minute, 59);
    EXPECT_LE(t.dayOfWeek, 6);
    const std::time_t now = std::time(nullptr);
    const std::tm* c = std::localtime(&now);
    EXPECT_NEAR(t.year * 372 + t.month * 31 + t.day,
                (c->tm_year + 1900) * 372 + (c->tm_mon + 1) * 31 + c->tm_mday, 1);
}

}  // namespace
