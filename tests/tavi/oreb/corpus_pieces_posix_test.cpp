// A long corpus text learnt piece by piece with the real language module: the same links as
// learning all its tokens at once, and a stop request honoured between pieces.
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <set>
#include <string>

#include "sorn/pieces.h"
#include "support/language_module.h"
#include "support/scoped_folders.h"
#include "tavi/oreb/corpus.h"

namespace tavi::oreb {
namespace {

// Every link as "noun word count kind", and each noun on its own.
std::set<std::wstring> linksOf(const Corpus& corpus) {
    std::set<std::wstring> lines;
    for (const auto& [noun, related] : corpus.links()) {
        lines.insert(noun);
        for (const auto& [word, link] : related)
            lines.insert(noun + L" " + word + L" " + std::to_wstring(link.count) + L" " + std::to_wstring(link.kind));
    }
    return lines;
}

TEST(CorpusPieces, ALongTextLearntPieceByPieceGivesTheLinksOfTheWhole) {
    test::ScopedWorkFolder work;
    test::ScopedLanguageModule language(work.path());
    ASSERT_TRUE(language.started());
    // Long lines, so that pieces end after a full stop or anywhere, and nouns stand near cuts.
    std::wstring text;
    const wchar_t* const sentences[] = {L"猫は魚と牛乳が好きです。", L"古い地図と新しい鉛筆を机に置いた。",
                                        L"雨の日の公園は静かで暗い。", L"駅前の店で赤いりんごを買う"};
    for (int i = 0; text.size() < 120000; ++i) {
        text += sentences[i % 4];
        if (i % 37 == 36) text += L'\n';
    }
    ASSERT_GT(sorn::sentencesOf(text).size(), 20u);

    Corpus whole(3, L"none.txt");
    whole.learn(sorn::analyze(text));
    Corpus pieces(3, L"none.txt");
    std::atomic<bool> stop{false};
    EXPECT_TRUE(pieces.learnText(text, stop));
    ASSERT_GT(whole.links().size(), 5u);
    EXPECT_TRUE(linksOf(pieces) == linksOf(whole));

    stop = true;
    Corpus stopped(3, L"none.txt");
    EXPECT_FALSE(stopped.learnText(text, stop));
    EXPECT_TRUE(stopped.links().empty());
}

}  // namespace
}  // namespace tavi::oreb
