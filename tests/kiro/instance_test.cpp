// The single-instance guard within one process: the whole program's tests see a second copy
// refused; here a holder that lets go or is destroyed lets the next one in.
#include "kiro/instance.h"

#include <gtest/gtest.h>

#include <memory>

#include "kiro/random.h"

TEST(InstanceLock, ReleasingOrDestroyingTheHolderLetsTheNextOneIn) {
    const std::wstring name = L"tavi-test-" + std::to_wstring(kiro::randomIndex(1u << 30));
    kiro::InstanceLock first;
    auto second = std::make_unique<kiro::InstanceLock>();
    ASSERT_TRUE(first.acquire(name));
    first.release();
    EXPECT_FALSE(first.held());
    ASSERT_TRUE(second->acquire(name));
    EXPECT_FALSE(first.acquire(name));
    second.reset();
    EXPECT_TRUE(first.acquire(name));
}
