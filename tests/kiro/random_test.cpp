// The shared random generator: its range, an even spread and the full 64 bits.
#include "kiro/random.h"

#include <gtest/gtest.h>

#include <vector>

TEST(RandomIndex, StaysInRangeReachesEveryValueEvenlyAndDrawsAllSixtyFourBits) {
    EXPECT_EQ(kiro::randomIndex(0), 0u);
    std::vector<int> seen(6, 0);
    for (int i = 0; i < 6000; ++i) ++seen.at(kiro::randomIndex(5));
    for (int count : seen) EXPECT_GT(count, 700);  // about 1000 each
    bool high = false;                             // large ranges are drawn from the full 64 bits, not folded into 32
    for (int i = 0; i < 64 && !high; ++i) high = kiro::randomIndex(SIZE_MAX) > (size_t(1) << 40);
    EXPECT_TRUE(high);
}
