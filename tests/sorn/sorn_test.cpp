// The language module without the analyser: conversions, keyword picking, and analysis
// while the module is off.
#include "sorn/sorn.h"

#include <gtest/gtest.h>

#include "support/scoped_folders.h"

TEST(Sorn, ConvertsBetweenWideTextAndUtf8) {
    const std::wstring text = L"東京で\U0001F600 tea。";
    const std::string utf8 = sorn::toUtf8(text);
    EXPECT_EQ(utf8, "\xE6\x9D\xB1\xE4\xBA\xAC\xE3\x81\xA7\xF0\x9F\x98\x80 tea\xE3\x80\x82");
    EXPECT_EQ(sorn::toWide(utf8.c_str()), text);
    EXPECT_EQ(sorn::toWide(utf8.data(), static_cast<int>(utf8.size())), text);
    EXPECT_EQ(sorn::toUtf8(L""), "");
    EXPECT_EQ(sorn::toWide("", 0), L"");
}

TEST(Sorn, ToWideReadsExactlyTheGivenBytesAndEndsAtAZero) {
    const char bytes[] = "\xE8\x8A\xB1\xE5\xA3\x87xyz";  // 花壇xyz
    EXPECT_EQ(sorn::toWide(bytes, 3), L"花");
    EXPECT_EQ(sorn::toWide(bytes, 7), L"花壇x");
    const char withZero[] = {'a', 'b', '\0', 'c'};
    EXPECT_EQ(sorn::toWide(withZero, 4), L"ab");
}

TEST(Sorn, KeywordsAreTheGeneralTokensInOrder) {
    const uint32_t flags[] = {sorn::Noun | sorn::Proper | sorn::Place | sorn::General,
                              sorn::Noun | sorn::Proper | sorn::Person, sorn::Noun | sorn::General,
                              sorn::Adjective, sorn::Noun | sorn::General};
    std::vector<sorn::Token> tokens(5);
    for (size_t i = 0; i < tokens.size(); ++i) {
        tokens[i].base = std::to_wstring(i);
        tokens[i].flags = flags[i];
    }
    const auto keys = sorn::keywords(tokens);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].base + keys[1].base + keys[2].base, L"024");
    EXPECT_TRUE(sorn::keywords({}).empty());
}

TEST(Sorn, AnalysisWhileOffYieldsNothing) {
    sorn::finalize();
    EXPECT_TRUE(sorn::analyze(L"東京で花を見た。").empty());
    EXPECT_TRUE(sorn::analyze(L"").empty());
    sorn::finalize();  // finalizing twice is harmless
}

TEST(Sorn, InitializeFailsWithoutTheModuleFolder) {
    sorn::finalize();
    tavi::test::ScopedWorkFolder empty;
    EXPECT_FALSE(sorn::initialize());
    EXPECT_TRUE(sorn::analyze(L"花").empty());
    // A resource file without a dictionary does not start either.
    empty.write("sorn/etc/mecabrc", "dicdir = nowhere\n");
    EXPECT_FALSE(sorn::initialize());
}
