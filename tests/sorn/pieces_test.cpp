// Cutting long texts into analysable pieces: after the last line feed (else full stop) that
// fits, never inside a character, and whole texts up to 64 KiB left as one sentence.
#include "sorn/pieces.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"

namespace {

// The pieces joined with "|", after checking each fits the limit and none is empty.
std::wstring cut(const std::wstring& text, size_t limit) {
    std::wstring joined;
    for (auto piece : sorn::cutPieces(text, limit)) {
        EXPECT_FALSE(piece.empty());
        EXPECT_LE(kiro::io::toUtf8(std::wstring(piece)).size(), limit);
        joined += (joined.empty() ? L"" : L"|") + std::wstring(piece);
    }
    return joined;
}

TEST(Pieces, TextsAreCutAfterTheLastLineFeedOrFullStopThatFitsElseAtTheLimit) {
    EXPECT_EQ(cut(L"", 100), L"");
    const std::wstring lines = L"春夏秋\n冬雪月\n花鳥風\n";  // 10 bytes a line
    EXPECT_EQ(cut(lines, 30), lines);
    EXPECT_EQ(cut(lines, 25), L"春夏秋\n冬雪月\n|花鳥風\n");
    EXPECT_EQ(cut(L"あいう。えお。かきくけこ\n短い", 24), L"あいう。えお。|かきくけこ\n短い");
    std::wstring text;
    for (int i = 0; i < 1000; ++i) text += (i % 7 == 0) ? L"a" : L"語";
    text += L"\U0001F600end";  // a character outside the basic plane at the very end
    const std::wstring pieces = cut(text, 100);
    EXPECT_GT(std::count(pieces.begin(), pieces.end(), L'|'), 25);
    std::wstring rejoined = pieces;
    rejoined.erase(std::remove(rejoined.begin(), rejoined.end(), L'|'), rejoined.end());
    EXPECT_EQ(rejoined, text);
}

TEST(Pieces, TextsUpTo64KiBAreOneSentenceLongerOnesAreCutAtLineBreaks) {
    EXPECT_TRUE(sorn::sentencesOf(L"").empty());
    const std::wstring line = L"今日は晴れ。\n";  // 19 bytes
    std::wstring text;
    for (size_t bytes = 0; bytes + 19 <= sorn::WholeTextLimit; bytes += 19) text += line;
    EXPECT_EQ(sorn::sentencesOf(text).size(), 1u);
    text += line;
    std::wstring joined;
    for (auto p : sorn::sentencesOf(text)) {
        EXPECT_LE(kiro::io::toUtf8(std::wstring(p)).size(), sorn::PieceLimit);
        EXPECT_EQ(p.back(), L'\n');  // every cut falls on a line break
        joined += p;
    }
    EXPECT_EQ(joined, text);
    EXPECT_GT(sorn::sentencesOf(text).size(), kiro::io::toUtf8(text).size() / sorn::PieceLimit);
}

}  // namespace
