// Wide printf-style formatting, short and far beyond the first buffer.
#include "kiro/format.h"

#include <gtest/gtest.h>

TEST(Format, FormatsNumbersAndWideStringsWithoutALengthLimit) {
    EXPECT_EQ(kiro::format(L"%04d%02d%02d", 2024, 3, 7), L"20240307");
    EXPECT_EQ(kiro::format(L"[%ls] %d%%", L"\u3042", -5), L"[\u3042] -5%");
    EXPECT_EQ(kiro::format(L"%.2f", 1.005 + 1), L"2.00");
    EXPECT_EQ(kiro::format(L"") + kiro::format(nullptr), L"");
    for (size_t n : {1023u, 1024u, 300000u}) {  // the first buffer exactly, one more, far more
        const std::wstring big(n, L'\u65E5');
        EXPECT_TRUE(kiro::format(L"<%ls|%d>", big.c_str(), 42) == L"<" + big + L"|42>") << n;
    }
}
