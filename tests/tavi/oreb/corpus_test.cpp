// The word corpus: the association-file cases under tests/data/association, learning with the
// window, and picking keywords.
#include "tavi/oreb/corpus.h"

#include <gtest/gtest.h>

#include <set>

#include "support/cases.h"
#include "support/corpus_links.h"
#include "support/scoped_folders.h"

namespace {

using tavi::oreb::Corpus;
using tavi::oreb::Relatives;
using tavi::test::links;

sorn::Token token(const std::wstring& base, uint32_t flags) {
    sorn::Token t;
    t.surface = t.base = base;
    t.flags = flags;
    return t;
}

const uint32_t General = sorn::Noun | sorn::General;
const uint32_t Person = sorn::Noun | sorn::Proper | sorn::Person;

TEST(Corpus, AssociationFileCases) {
    tavi::test::ScopedWorkFolder folder;
    tavi::test::runCases("association", [&](const std::string& input) {
        folder.write("temp/corpus.txt", input);
        return tavi::test::Outcome{links(Corpus(3)), ""};
    });
    folder.write("other.txt", "a;b/1;\n");
    EXPECT_EQ(links(Corpus(3, L"other.txt")), "a|b|1|noun\n");
}

TEST(Corpus, LearningWeighsWhatFollowsWithinTheWindow) {
    tavi::test::ScopedWorkFolder empty;
    Corpus corpus(3);
    const std::vector<sorn::Token> text = {token(L"A", General), token(L"の", 0), token(L"B", General),
                                           token(L"c", sorn::Adjective), token(L"D", General)};
    corpus.learn(text);
    EXPECT_EQ(links(corpus), "A|B|2|noun\nA|c|1|adjective\nB|D|2|noun\nB|c|3|adjective\nD|\n");
    corpus.learn(text);  // the same text again doubles every weight
    EXPECT_EQ(links(corpus), "A|B|4|noun\nA|c|2|adjective\nB|D|4|noun\nB|c|6|adjective\nD|\n");
    // Proper nouns link too, themselves included; a word met again keeps the sum and the last
    // kind; a plain noun (neither general nor proper) links nothing.
    Corpus two(2);
    two.learn({token(L"花子", Person), token(L"花子", Person), token(L"高い", sorn::Adjective)});
    two.learn({token(L"X", General), token(L"花子", sorn::Adjective), token(L"Y", sorn::Noun), token(L"Z", General)});
    EXPECT_EQ(links(two), "X|花子|2|adjective\nZ|\n花子|花子|2|noun\n花子|高い|3|adjective\n");
    Corpus none(0);
    none.learn(text);
    EXPECT_EQ(links(none), "");
    Corpus wide(UINT64_MAX);
    wide.learn({token(L"A", General), token(L"x", 0), token(L"B", General)});
    EXPECT_EQ(links(wide), "A|B|" + std::to_string(int64_t(UINT64_MAX - 1)) + "|noun\nB|\n");
}

TEST(Corpus, PicksUnknownAndKnownGeneralKeywords) {
    tavi::test::ScopedWorkFolder folder;
    folder.write("temp/corpus.txt", "猫;魚/3,鼠/1;可愛い/2\n鏡;鏡/5;\n");
    const Corpus corpus(3);
    std::wstring keyword = L"unchanged";
    Relatives relatives;
    ASSERT_TRUE(corpus.pickKnown({token(L"猫", General), token(L"が", 0)}, keyword, relatives));
    EXPECT_EQ(keyword, L"猫");
    EXPECT_EQ(std::set<std::wstring>(relatives.nouns.begin(), relatives.nouns.end()),
              (std::set<std::wstring>{L"魚", L"鼠"}));
    EXPECT_EQ(relatives.adjectives, std::vector<std::wstring>{L"可愛い"});
    Relatives self;  // a keyword whose only link is to itself has nothing related
    ASSERT_TRUE(corpus.pickKnown({token(L"鏡", General)}, keyword, self));
    EXPECT_TRUE(self.nouns.empty() && self.adjectives.empty());
    // A proper name that is no general noun is never a candidate.
    Relatives untouched{{L"keep"}, {}};
    keyword = L"unchanged";
    EXPECT_FALSE(corpus.pickKnown({token(L"太郎", Person)}, keyword, untouched));
    EXPECT_EQ(keyword, L"unchanged");
    EXPECT_EQ(untouched.nouns, std::vector<std::wstring>{L"keep"});
    std::set<std::wstring> drawn;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(corpus.pickUnknown(
            {token(L"犬", General), token(L"猫", General), token(L"太郎", Person), token(L"空", General)}, keyword));
        drawn.insert(keyword);
    }
    EXPECT_EQ(drawn, (std::set<std::wstring>{L"犬", L"空"}));
}

}  // namespace
