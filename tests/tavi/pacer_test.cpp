// The main window's tick plan on a hand-set clock: 50 ms while anything moves, one timer for
// the whole sleep while nothing does, none when nothing is due, and a wake-up running the
// next tick at once with the ticks slept through.
#include "tavi/pacer.h"

#include <gtest/gtest.h>

#include "tavi/ticks.h"

namespace tavi {
namespace {

TEST(Pacer, SleepsUntilTheNextDueTickAndAWakeUpRunsItAtOnce) {
    uint32_t now = 0xFFFFFF00u;  // the clock wraps on the way
    Pacer pacer([&] { return now; });
    uint32_t ms = 0;
    pacer.plan(1);
    ASSERT_TRUE(pacer.takeTimer(ms));
    EXPECT_EQ(ms, 50u);
    for (int i = 0; i < 3; ++i) {  // moving: the periodic timer is left alone
        now += 50;
        EXPECT_EQ(pacer.fire(), 1u);
        pacer.plan(1);
        EXPECT_FALSE(pacer.takeTimer(ms));
        EXPECT_EQ(pacer.wake(), 0u);  // a tick is at most one step away anyway
        EXPECT_FALSE(pacer.takeTimer(ms));
    }

    pacer.plan(12);  // still until the twelfth tick from now
    ASSERT_TRUE(pacer.takeTimer(ms));
    EXPECT_EQ(ms, 600u);
    now += 600;
    EXPECT_EQ(pacer.fire(), 12u);
    pacer.plan(12);
    EXPECT_FALSE(pacer.takeTimer(ms));  // the same interval fires again in time

    now += 130;  // a response is queued 130 ms into the sleep: the third tick runs now
    EXPECT_EQ(pacer.wake(), 3u);
    pacer.plan(12);  // the timer, armed before, is out of step
    ASSERT_TRUE(pacer.takeTimer(ms));
    EXPECT_EQ(ms, 600u);
    now += 600;
    EXPECT_EQ(pacer.fire(), 12u);

    pacer.plan(NeverDue);
    ASSERT_TRUE(pacer.takeTimer(ms));
    EXPECT_EQ(ms, 0u);  // no timer at all
    now += 10000;
    EXPECT_EQ(pacer.wake(), 201u);
    pacer.plan(1);
    ASSERT_TRUE(pacer.takeTimer(ms));
    EXPECT_EQ(ms, 50u);
    now += 20;
    EXPECT_EQ(pacer.wake(), 0u);  // moving: the next tick is less than one step away
}

}  // namespace
}  // namespace tavi
