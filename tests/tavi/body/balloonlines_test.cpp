// Reveal, display time and removal of the speech balloon's lines.
#include "tavi/body/balloonlines.h"

#include <gtest/gtest.h>

namespace tavi {
namespace {

int ticksUntilEmpty(BalloonLines& b) {
    for (int i = 1; i <= 10000; ++i) {
        b.update(0.05f);
        if (b.isEmpty()) return i;
    }
    return -1;
}

TEST(BalloonLines, DisplayTimeIsABitwiseOrAndEscapesTurnIntoBackslashesAndLineBreaks) {
    for (auto [length, seconds] : {std::pair{7, 4.0f}, {10, 4.0f}, {32, 8.0f}, {40, 8.0f}, {100, 16.0f}})
        EXPECT_FLOAT_EQ(BalloonLines::displayTime(length), seconds) << length;  // (length / 8 | 3) + 1
    EXPECT_EQ(BalloonLines::unescape(L"a\\nb"), L"a\nb");
    EXPECT_EQ(BalloonLines::unescape(L"a\\\\nb"), L"a\nb");  // the pair becomes one backslash, which then breaks
    EXPECT_EQ(BalloonLines::unescape(L"c:\\\\x"), L"c:\\x");
}

TEST(BalloonLines, LinesAreRevealedOneCharacterATickThenLeaveTogether) {
    BalloonLines b;
    ASSERT_TRUE(b.add(L"0123456789"));
    for (int i = 0; i < 9; ++i) EXPECT_TRUE(b.update(0.05f));
    EXPECT_EQ(b.lines().back().revealed, 9u);
    b.update(0.05f);
    EXPECT_EQ(b.lines().back().revealed, 10u);
    const int gone = ticksUntilEmpty(b);  // a ten-character line shows for four seconds
    EXPECT_TRUE(gone >= 79 && gone <= 81) << gone;
    // A second line cuts the first one's reveal short; both leave after the second's time.
    b.add(L"abcdefghij");
    b.update(0.05f);
    ASSERT_TRUE(b.add(std::wstring(40, L'x')));
    ASSERT_EQ(b.lines().size(), 2u);
    EXPECT_EQ(b.lines()[0].revealed, 10u);
    EXPECT_EQ(b.lines()[1].revealed, 0u);
    EXPECT_FLOAT_EQ(b.remaining(), 8.0f);
    const int both = ticksUntilEmpty(b);
    EXPECT_TRUE(both >= 199 && both <= 201) << both;
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
