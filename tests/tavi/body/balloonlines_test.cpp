// Reveal, display time and removal of the speech balloon's lines.
#include "tavi/body/balloonlines.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

int ticksUntilEmpty(BalloonLines& b, int limit = 10000) {
    for (int i = 1; i <= limit; ++i) {
        b.update(0.05f);
        if (b.isEmpty()) return i;
    }
    return -1;
}

TEST(BalloonLines, DisplayTimeIsABitwiseOr) {
    EXPECT_FLOAT_EQ(BalloonLines::displayTime(7), 4.0f);    // (0 | 3) + 1
    EXPECT_FLOAT_EQ(BalloonLines::displayTime(10), 4.0f);   // (1 | 3) + 1
    EXPECT_FLOAT_EQ(BalloonLines::displayTime(40), 8.0f);   // (5 | 3) + 1
    EXPECT_FLOAT_EQ(BalloonLines::displayTime(100), 16.0f); // (12 | 3) + 1
    EXPECT_FLOAT_EQ(BalloonLines::displayTime(32), 8.0f);   // (4 | 3) + 1, not 4 + 3
}

TEST(BalloonLines, EscapesTurnIntoBackslashesAndLineBreaks) {
    EXPECT_EQ(BalloonLines::unescape(L"a\\nb"), L"a\nb");
    // The pair becomes one backslash first, and that one then starts a line break.
    EXPECT_EQ(BalloonLines::unescape(L"a\\\\nb"), L"a\nb");
    EXPECT_EQ(BalloonLines::unescape(L"c:\\\\x"), L"c:\\x");
    EXPECT_EQ(BalloonLines::unescape(L"no escapes"), L"no escapes");
}

TEST(BalloonLines, TenCharacterLineIsRevealedThenLeavesAboutEightyTicksLater) {
    BalloonLines b;
    ASSERT_TRUE(b.add(L"0123456789"));
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(b.update(0.05f));
    EXPECT_EQ(b.lines().back().revealed, 9u);
    EXPECT_TRUE(b.update(0.05f));
    EXPECT_EQ(b.lines().back().revealed, 10u);
    int gone = ticksUntilEmpty(b);
    EXPECT_GE(gone, 79);
    EXPECT_LE(gone, 81);
}

TEST(BalloonLines, SecondLineCutsTheFirstRevealShortAndBothLeaveTogether) {
    BalloonLines b;
    b.add(L"abcdefghij");
    b.update(0.05f);
    b.update(0.05f);
    ASSERT_TRUE(b.add(L"0123456789012345678901234567890123456789"));  // 40 characters: 8 s
    ASSERT_EQ(b.lines().size(), 2u);
    EXPECT_EQ(b.lines()[0].revealed, 10u);
    EXPECT_EQ(b.lines()[1].revealed, 0u);
    EXPECT_FLOAT_EQ(b.remaining(), 8.0f);
    for (int i = 0; i < 40; ++i) b.update(0.05f);
    EXPECT_EQ(b.lines().size(), 2u);
    int gone = ticksUntilEmpty(b);
    EXPECT_GE(gone, 159);
    EXPECT_LE(gone, 161);
}

TEST(BalloonLines, EmptyTextChangesNothingAndSilenceCountsFromTheEmptyingTick) {
    BalloonLines b;
    float silence = -1;
    b.update(0.05f);
    b.update(0.05f);
    EXPECT_FALSE(b.add(L""));
    EXPECT_TRUE(b.isEmpty(&silence));
    EXPECT_NEAR(silence, 0.1f, 1e-4);

    b.add(L"hi");
    EXPECT_FALSE(b.isEmpty(&silence));
    EXPECT_EQ(silence, 0.0f);
    ticksUntilEmpty(b);
    EXPECT_TRUE(b.isEmpty(&silence));
    EXPECT_EQ(silence, 0.0f);
    b.update(0.05f);
    b.isEmpty(&silence);
    EXPECT_NEAR(silence, 0.05f, 1e-4);
}

}  // namespace
}  // namespace tavi
