// The word corpus: reading the association file, learning with the window, picking keywords.
#include "tavi/oreb/corpus.h"

#include <gtest/gtest.h>

#include <set>

#include "support/scoped_folders.h"

namespace {

using tavi::oreb::Corpus;
using tavi::oreb::Relatives;
using tavi::oreb::splitTrimmed;

sorn::Token token(const std::wstring& base, uint32_t flags) {
    sorn::Token t;
    t.surface = base;
    t.base = base;
    t.flags = flags;
    return t;
}

const uint32_t GeneralNoun = sorn::Noun | sorn::General;
const uint32_t ProperNoun = sorn::Noun | sorn::Proper | sorn::Person;

// Count and kind of links[noun][word], or {-1, 0} when there is no such link.
std::pair<int64_t, uint32_t> link(const Corpus& corpus, const std::wstring& noun,
                                  const std::wstring& word) {
    const auto outer = corpus.links().find(noun);
    if (outer == corpus.links().end()) return {-1, 0};
    const auto inner = outer->second.find(word);
    if (inner == outer->second.end()) return {-1, 0};
    return {inner->second.count, inner->second.kind};
}

Corpus emptyCorpus(uint64_t window) {
    tavi::test::ScopedWorkFolder folder;  // no temp/corpus.txt here
    return Corpus(window);
}

}  // namespace

TEST(SplitTrimmed, CutsAtEverySeparatorAndTrimsEachPiece) {
    EXPECT_TRUE(splitTrimmed(L"", L',').empty());
    EXPECT_EQ(splitTrimmed(L" a ,\tb\r\n,c", L','), (std::vector<std::wstring>{L"a", L"b", L"c"}));
    EXPECT_EQ(splitTrimmed(L"a,", L','), (std::vector<std::wstring>{L"a", L""}));
    EXPECT_EQ(splitTrimmed(L" \t ", L','), (std::vector<std::wstring>{L""}));
    EXPECT_EQ(splitTrimmed(L";;", L';'), (std::vector<std::wstring>{L"", L"", L""}));
    EXPECT_EQ(splitTrimmed(L"全角\u3000", L','), (std::vector<std::wstring>{L"全角\u3000"}));
}

TEST(CorpusLearn, WindowWeighsFollowingNounsAndAdjectives) {
    Corpus corpus = emptyCorpus(3);
    const std::vector<sorn::Token> tokens = {token(L"A", GeneralNoun), token(L"の", 0),
                                             token(L"B", GeneralNoun), token(L"c", sorn::Adjective),
                                             token(L"D", GeneralNoun)};
    corpus.learn(tokens);
    EXPECT_EQ(link(corpus, L"A", L"B"), std::make_pair(int64_t{2}, 1u));
    EXPECT_EQ(link(corpus, L"A", L"c"), std::make_pair(int64_t{1}, 2u));
    EXPECT_EQ(link(corpus, L"A", L"D").first, -1);  // outside A's window
    EXPECT_EQ(link(corpus, L"B", L"c"), std::make_pair(int64_t{3}, 2u));
    EXPECT_EQ(link(corpus, L"B", L"D"), std::make_pair(int64_t{2}, 1u));
    ASSERT_TRUE(corpus.links().count(L"D"));
    EXPECT_TRUE(corpus.links().at(L"D").empty());
    EXPECT_FALSE(corpus.links().count(L"c"));  // adjectives are no keys
    EXPECT_FALSE(corpus.links().count(L"の"));
    EXPECT_EQ(corpus.links().size(), 3u);

    corpus.learn(tokens);  // the same text again doubles every weight
    EXPECT_EQ(link(corpus, L"A", L"B").first, 4);
    EXPECT_EQ(link(corpus, L"A", L"c").first, 2);
    EXPECT_EQ(link(corpus, L"B", L"c").first, 6);
    EXPECT_EQ(link(corpus, L"B", L"D").first, 4);
}

TEST(CorpusLearn, ProperNounsSelfLinksAndKindChanges) {
    Corpus corpus = emptyCorpus(2);
    corpus.learn({token(L"花子", ProperNoun), token(L"花子", ProperNoun), token(L"高い", sorn::Adjective)});
    EXPECT_EQ(link(corpus, L"花子", L"花子"), std::make_pair(int64_t{2}, 1u));
    EXPECT_EQ(link(corpus, L"花子", L"高い"), std::make_pair(int64_t{1 + 2}, 2u));
    // A word met as a noun and later as an adjective keeps the sum and the last kind.
    corpus.learn({token(L"X", GeneralNoun), token(L"花子", sorn::Adjective)});
    EXPECT_EQ(link(corpus, L"X", L"花子"), std::make_pair(int64_t{2}, 2u));
    // A plain noun (neither general nor proper) links nothing and is not related either.
    corpus.learn({token(L"Y", sorn::Noun), token(L"Z", GeneralNoun)});
    EXPECT_FALSE(corpus.links().count(L"Y"));
    EXPECT_TRUE(corpus.links().at(L"Z").empty());
}

TEST(CorpusLearn, WindowZeroAndHugeWindows) {
    Corpus none = emptyCorpus(0);
    none.learn({token(L"A", GeneralNoun), token(L"B", GeneralNoun)});
    EXPECT_TRUE(none.links().empty());

    Corpus wide = emptyCorpus(UINT64_MAX);
    wide.learn({token(L"A", GeneralNoun), token(L"x", 0), token(L"B", GeneralNoun)});
    EXPECT_EQ(link(wide, L"A", L"B").first, static_cast<int64_t>(UINT64_MAX - 1));
    EXPECT_TRUE(wide.links().at(L"B").empty());
}

TEST(CorpusFile, ReadsLinesItemsAndWeightsSkippingUnusableOnes) {
    tavi::test::ScopedWorkFolder folder;
    folder.write("temp/corpus.txt",
                 "猫; 魚 / 12 ,鼠/3\t; 可愛い/5 \r\n"
                 "犬;骨/4\n"                        // two fields: skipped
                 "鳥;;\n"                           // no items: not even a key
                 "\n"
                 "空;雲/1,雲/9,青い/2;青い/7,\n"    // last entry wins; adjective wins
                 "海;波/-3,岩/12abc;;extra/1\n"
                 "星;月/+8;\n"
                 // Items without a usable weight are skipped and the rest loads.
                 "魚;水/abc,海/99999999999,川/7,池,沼/,/,湖/-2147483649;冷たい/2147483647\n");
    const Corpus corpus(3);
    EXPECT_EQ(link(corpus, L"猫", L"魚"), std::make_pair(int64_t{12}, 1u));
    EXPECT_EQ(link(corpus, L"猫", L"鼠"), std::make_pair(int64_t{3}, 1u));
    EXPECT_EQ(link(corpus, L"猫", L"可愛い"), std::make_pair(int64_t{5}, 2u));
    EXPECT_FALSE(corpus.links().count(L"犬"));
    EXPECT_FALSE(corpus.links().count(L"鳥"));
    EXPECT_EQ(link(corpus, L"空", L"雲"), std::make_pair(int64_t{9}, 1u));
    EXPECT_EQ(link(corpus, L"空", L"青い"), std::make_pair(int64_t{7}, 2u));
    EXPECT_EQ(corpus.links().at(L"空").size(), 2u);
    EXPECT_EQ(link(corpus, L"海", L"波"), std::make_pair(int64_t{-3}, 1u));
    EXPECT_EQ(link(corpus, L"海", L"岩"), std::make_pair(int64_t{12}, 1u));
    EXPECT_EQ(link(corpus, L"海", L"extra").first, -1);
    EXPECT_EQ(link(corpus, L"星", L"月"), std::make_pair(int64_t{8}, 1u));
    EXPECT_EQ(link(corpus, L"魚", L"川"), std::make_pair(int64_t{7}, 1u));
    EXPECT_EQ(link(corpus, L"魚", L"冷たい"), std::make_pair(int64_t{2147483647}, 2u));
    EXPECT_EQ(corpus.links().at(L"魚").size(), 2u);
    EXPECT_EQ(corpus.links().size(), 5u);
    EXPECT_EQ(corpus.window(), 3u);
}

TEST(CorpusFile, MissingOrUtf16FileTeachesNothing) {
    {
        tavi::test::ScopedWorkFolder folder;
        EXPECT_TRUE(Corpus(3).links().empty());
    }
    tavi::test::ScopedWorkFolder folder;
    // "a;b/1;" in UTF-16LE: the zero bytes make it unreadable text.
    folder.write("temp/corpus.txt", std::string("a\0;\0b\0/\0001\0;\0\n\0", 14));
    EXPECT_TRUE(Corpus(3).links().empty());
    // The same file given by path.
    folder.write("other.txt", "a;b/1;\n");
    EXPECT_EQ(link(Corpus(3, L"other.txt"), L"a", L"b").first, 1);
}

TEST(CorpusPick, UnknownAndKnownKeywords) {
    tavi::test::ScopedWorkFolder folder;
    folder.write("temp/corpus.txt", "猫;魚/3,鼠/1;可愛い/2\n鏡;鏡/5;\n");
    const Corpus corpus(3);

    const std::vector<sorn::Token> known = {token(L"猫", GeneralNoun), token(L"が", 0)};
    std::wstring keyword = L"unchanged";
    EXPECT_FALSE(corpus.pickUnknown(known, keyword));
    EXPECT_EQ(keyword, L"unchanged");
    Relatives relatives;
    ASSERT_TRUE(corpus.pickKnown(known, keyword, relatives));
    EXPECT_EQ(keyword, L"猫");
    EXPECT_EQ(std::set<std::wstring>(relatives.nouns.begin(), relatives.nouns.end()),
              (std::set<std::wstring>{L"魚", L"鼠"}));
    EXPECT_EQ(relatives.adjectives, std::vector<std::wstring>{L"可愛い"});

    // A keyword whose only link is to itself: found, with nothing related.
    Relatives none;
    ASSERT_TRUE(corpus.pickKnown({token(L"鏡", GeneralNoun)}, keyword, none));
    EXPECT_EQ(keyword, L"鏡");
    EXPECT_TRUE(none.nouns.empty());
    EXPECT_TRUE(none.adjectives.empty());

    // Only general tokens are candidates: a proper name that is no general noun never is.
    const std::vector<sorn::Token> unknown = {token(L"犬", GeneralNoun), token(L"猫", GeneralNoun),
                                              token(L"太郎", ProperNoun), token(L"空", GeneralNoun)};
    Relatives untouched;
    untouched.nouns = {L"keep"};
    keyword = L"unchanged";
    EXPECT_FALSE(corpus.pickKnown({token(L"太郎", ProperNoun)}, keyword, untouched));
    EXPECT_EQ(keyword, L"unchanged");
    EXPECT_EQ(untouched.nouns, std::vector<std::wstring>{L"keep"});

    std::set<std::wstring> drawn;
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(corpus.pickUnknown(unknown, keyword));
        drawn.insert(keyword);
    }
    EXPECT_EQ(drawn, (std::set<std::wstring>{L"犬", L"空"}));
}
