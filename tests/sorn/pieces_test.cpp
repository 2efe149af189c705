// Cutting long texts into analysable pieces: after the last line feed (else full stop) that
// fits, never inside a character, and whole texts up to 64 KiB left as one sentence.
#include "sorn/pieces.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"

namespace {

// Each piece fits the limit, none is empty, and together they are the text.
TEST(Pieces, CasesCutAsTheirFilesSay) {
    tavi::test::runCases("pieces", [](const std::string& input) {
        const size_t limit = std::stoul(input);
        const std::wstring text = kiro::io::fromUtf8(input.substr(input.find('\n') + 1));
        std::wstring joined, rejoined;
        for (auto piece : sorn::cutPieces(text, limit)) {
            EXPECT_FALSE(piece.empty());
            EXPECT_LE(kiro::io::toUtf8(std::wstring(piece)).size(), limit);
            joined += std::wstring(piece) + L"|";
            rejoined += piece;
        }
        EXPECT_EQ(rejoined, text);
        return tavi::test::Outcome{tavi::test::visible(joined), ""};
    });
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
