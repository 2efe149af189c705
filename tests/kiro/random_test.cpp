// The shared random generator: range, spread and use from many threads at once.
#include "kiro/random.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(RandomIndex, StaysInRangeAndReachesEveryValue) {
    EXPECT_EQ(randomIndex(0), 0u);
    std::vector<int> seen(6, 0);
    for (int i = 0; i < 6000; ++i) {
        const size_t r = kiro::randomIndex(5);
        ASSERT_LE(r, 5u);
        ++seen[r];
    }
    for (int count : seen) EXPECT_GT(count, 700);  // about 1000 each
    // Large ranges are drawn from the full 64 bits, not folded into 32.
    bool high = false;
    for (int i = 0; i < 64 && !high; ++i) high = kiro::randomIndex(SIZE_MAX) > (size_t(1) << 40);
    EXPECT_TRUE(high);
}

TEST(RandomIndex, ManyThreadsDrawWithoutOverlap) {
    std::atomic<int> outOfRange{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                if (kiro::randomIndex(9) > 9) ++outOfRange;
            }
        });
    }
    for (auto& th : threads) th.join();
    EXPECT_EQ(outOfRange.load(), 0);
}

}  // namespace
