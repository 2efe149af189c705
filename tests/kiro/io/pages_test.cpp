// Large blocks kept for reuse while a job runs: taken back by size, bounded, and all given back
// when the last job ends.
#include "kiro/io/pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <thread>
#include <vector>

namespace {

namespace pages = kiro::io::pages;

constexpr size_t MiB = size_t(1) << 20;

TEST(Pages, BlocksAreKeptForTheSameSizeOnlyWhileAJobRuns) {
    void* outside = pages::map(4 * MiB);
    ASSERT_NE(outside, nullptr);
    pages::unmap(outside, 4 * MiB);
    EXPECT_EQ(pages::kept(), 0u);  // no job: straight back to the system

    {
        const pages::Reuse job;
        void* block = pages::map(4 * MiB);
        ASSERT_NE(block, nullptr);
        std::memset(block, 1, 4 * MiB);
        pages::unmap(block, 4 * MiB);
        EXPECT_EQ(pages::kept(), 4 * MiB);

        void* other = pages::map(6 * MiB);  // another size leaves it where it is
        EXPECT_NE(other, block);
        EXPECT_EQ(pages::kept(), 4 * MiB);
        pages::unmap(other, 6 * MiB);

        void* again = pages::map(4 * MiB);
        EXPECT_EQ(again, block);
        EXPECT_EQ(pages::kept(), 6 * MiB);
        std::memset(again, 2, 4 * MiB);  // still mapped and writable
        pages::unmap(again, 4 * MiB);
        EXPECT_EQ(pages::kept(), 10 * MiB);
    }
    EXPECT_EQ(pages::kept(), 0u);
}

// Jobs on two threads: what one keeps stays until the other, which began first, ends too; and
// no more than MostKept is kept however many blocks come back.
TEST(Pages, TheLastJobToEndGivesBackWhatAllKeptUpToTheBound) {
    auto job = std::make_unique<pages::Reuse>();
    std::thread([] {
        const pages::Reuse inner;
        std::vector<void*> blocks;
        for (size_t k = 0; k < pages::Reuse::MostKept / (4 * MiB) + 3; ++k) blocks.push_back(pages::map(4 * MiB));
        for (void* block : blocks) pages::unmap(block, 4 * MiB);
        EXPECT_EQ(pages::kept(), pages::Reuse::MostKept);
    }).join();
    EXPECT_EQ(pages::kept(), pages::Reuse::MostKept);
    job.reset();
    EXPECT_EQ(pages::kept(), 0u);
}

}  // namespace
