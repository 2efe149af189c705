// The language module without a module folder or dictionary: it does not start.
#include "sorn/sorn.h"

#include <gtest/gtest.h>

#include "support/scoped_folders.h"

TEST(Sorn, StartsOnlyWithAModuleFolderAndADictionaryAndAnalysesNothingWhileOff) {
    sorn::finalize();
    sorn::finalize();  // finalizing twice is harmless
    EXPECT_TRUE(sorn::analyze(L"東京で花を見た。").empty());
    tavi::test::ScopedWorkFolder empty;
    EXPECT_FALSE(sorn::initialize());
    empty.write("sorn/etc/mecabrc", "dicdir = nowhere\n");
    EXPECT_FALSE(sorn::initialize());
    EXPECT_TRUE(sorn::analyze(L"花").empty());
}
