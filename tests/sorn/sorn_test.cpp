// The language module without the analyser: reading UTF-8 from the analyser's byte ranges, and
// starting without a module folder.
#include "sorn/sorn.h"

#include <gtest/gtest.h>

#include "support/scoped_folders.h"

TEST(Sorn, ToWideReadsExactlyTheGivenBytesUpToAZero) {
    const char bytes[] = "\xE8\x8A\xB1\xE5\xA3\x87xyz";  // 花壇xyz
    EXPECT_EQ(sorn::toWide(bytes, 3), L"花");
    EXPECT_EQ(sorn::toWide(bytes, 7), L"花壇x");
    EXPECT_EQ(sorn::toWide(bytes), L"花壇xyz");
    const char withZero[] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ(sorn::toWide(withZero, 4), L"ab");
    EXPECT_EQ(sorn::toWide(nullptr, 3), L"");
}

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
