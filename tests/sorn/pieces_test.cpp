// Cutting long texts into analysable pieces.
#include "sorn/pieces.h"

#include <gtest/gtest.h>

#include <string>

namespace {

size_t utf8Bytes(std::wstring_view text) {
    size_t n = 0;
    for (wchar_t c : text) {
        const auto u = static_cast<uint32_t>(c);
        n += u < 0x80 ? 1 : u < 0x800 ? 2 : (u >= 0xD800 && u <= 0xDFFF) ? 2 : u < 0x10000 ? 3 : 4;
    }
    return n;
}

std::wstring joined(const std::vector<std::wstring_view>& pieces) {
    std::wstring all;
    for (auto p : pieces) all += p;
    return all;
}

}  // namespace

TEST(Pieces, TextThatFitsIsOnePieceLongerTextIsCutAfterTheLastLineFeedThatFits) {
    EXPECT_TRUE(sorn::cutPieces(L"", 100).empty());
    EXPECT_TRUE(sorn::sentencesOf(L"").empty());
    // Each line is 3 characters of 3 bytes plus a line feed: 10 bytes.
    const std::wstring text = L"春夏秋\n冬雪月\n花鳥風\n";
    EXPECT_EQ(sorn::cutPieces(text, 30), std::vector<std::wstring_view>{text});
    EXPECT_EQ(sorn::cutPieces(text, 25),
              (std::vector<std::wstring_view>{L"春夏秋\n冬雪月\n", L"花鳥風\n"}));
}

TEST(Pieces, LongLineIsCutAfterTheFullStop) {
    const std::wstring text = L"あいう。えお。かきくけこ\n短い";
    const auto pieces = sorn::cutPieces(text, 24);  // 8 characters
    ASSERT_GE(pieces.size(), 2u);
    EXPECT_EQ(pieces[0], L"あいう。えお。");
    EXPECT_EQ(joined(pieces), text);
    for (auto p : pieces) EXPECT_LE(utf8Bytes(p), 24u);
}

TEST(Pieces, TextWithoutBreaksIsCutAtTheLimitWithoutLosingCharacters) {
    std::wstring text;
    for (int i = 0; i < 1000; ++i) text += (i % 7 == 0) ? L"a" : L"語";
    text += L"\U0001F600end";  // a character outside the basic plane at the very end
    const auto pieces = sorn::cutPieces(text, 100);
    EXPECT_GT(pieces.size(), 25u);
    EXPECT_EQ(joined(pieces), text);
    for (auto p : pieces) {
        EXPECT_LE(utf8Bytes(p), 100u);
        EXPECT_FALSE(p.empty());
    }
}

TEST(Pieces, TextsUpTo64KiBAreOneSentenceLongerOnesAreCutAtLineBreaks) {
    const std::wstring line = L"今日は晴れ。\n";  // 19 bytes
    std::wstring text;
    while (utf8Bytes(text) + utf8Bytes(line) <= sorn::WholeTextLimit) text += line;
    EXPECT_EQ(sorn::sentencesOf(text).size(), 1u);
    text += line;
    const auto pieces = sorn::sentencesOf(text);
    EXPECT_GE(pieces.size(), utf8Bytes(text) / sorn::PieceLimit);
    EXPECT_EQ(joined(pieces), text);
    for (auto p : pieces) {
        EXPECT_LE(utf8Bytes(p), sorn::PieceLimit);
        EXPECT_EQ(p.back(), L'\n');  // every cut falls on a line break
    }
}
