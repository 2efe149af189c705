// Wide printf-style formatting, short and far beyond the first buffer.
#include "kiro/format.h"

#include <gtest/gtest.h>

namespace {

TEST(Format, FormatsNumbersAndWideStrings) {
    EXPECT_EQ(kiro::format(L"%04d%02d%02d", 2024, 3, 7), L"20240307");
    EXPECT_EQ(kiro::format(L"[%ls] %d%%", L"\u3042", -5), L"[\u3042] -5%");
    EXPECT_EQ(kiro::format(L"%.2f", 1.005 + 1), L"2.00");
    EXPECT_EQ(kiro::format(L""), L"");
    EXPECT_EQ(kiro::format(nullptr), L"");
}

TEST(Format, HasNoLengthLimit) {
    const std::wstring part(1023, L'a');
    EXPECT_TRUE(kiro::format(L"%ls", part.c_str()) == part);  // fills the first buffer exactly
    const std::wstring edge(1024, L'b');
    const std::wstring edgeOut = kiro::format(L"%ls", edge.c_str());
    EXPECT_EQ(edgeOut.size(), edge.size());
    EXPECT_TRUE(edgeOut == edge);
    const std::wstring big(300000, L'\u65E5');
    const std::wstring out = kiro::format(L"<%ls|%d>", big.c_str(), 42);
    EXPECT_EQ(out.size(), big.size() + 5);
    EXPECT_TRUE(out == L"<" + big + L"|42>");
}

}  // namespace
