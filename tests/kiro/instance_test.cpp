// The single-instance guard within one process: a second holder of the same name is refused
// until the first lets go or is destroyed.
#include "kiro/instance.h"

#include <gtest/gtest.h>

#include <memory>

#include "kiro/random.h"

TEST(InstanceLock, ASecondHolderIsRefusedUntilTheFirstReleasesOrIsDestroyed) {
    const std::wstring name = L"tavi-test-" + std::to_wstring(kiro::randomIndex(1u << 30));
    kiro::InstanceLock first, other;
    auto second = std::make_unique<kiro::InstanceLock>();
    ASSERT_TRUE(first.acquire(name));
    EXPECT_FALSE(second->acquire(name));
    EXPECT_TRUE(first.held() && !second->held());
    EXPECT_TRUE(other.acquire(name + L"-other"));
    first.release();
    EXPECT_FALSE(first.held());
    ASSERT_TRUE(second->acquire(name));
    EXPECT_FALSE(first.acquire(name));
    second.reset();
    EXPECT_TRUE(first.acquire(name));
}
