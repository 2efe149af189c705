// The single-instance guard within one process: a second holder of the same name is refused
// until the first lets go.
#include "kiro/instance.h"

#include <gtest/gtest.h>

#include "kiro/random.h"

namespace {

std::wstring uniqueName() { return L"tavi-test-" + std::to_wstring(kiro::randomIndex(1u << 30)); }

TEST(InstanceLock, SecondHolderIsRefusedUntilTheFirstReleases) {
    const std::wstring name = uniqueName();
    kiro::InstanceLock first, second, other;
    ASSERT_TRUE(first.acquire(name));
    EXPECT_TRUE(first.held());
    EXPECT_FALSE(second.acquire(name));
    EXPECT_FALSE(second.held());
    EXPECT_TRUE(other.acquire(name + L"-other"));
    first.release();
    EXPECT_FALSE(first.held());
    EXPECT_TRUE(second.acquire(name));
    EXPECT_TRUE(second.held());
}

TEST(InstanceLock, DestructionReleases) {
    const std::wstring name = uniqueName();
    {
        kiro::InstanceLock scoped;
        ASSERT_TRUE(scoped.acquire(name));
        kiro::InstanceLock rival;
        EXPECT_FALSE(rival.acquire(name));
    }
    kiro::InstanceLock after;
    EXPECT_TRUE(after.acquire(name));
}

}  // namespace
