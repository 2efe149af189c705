// The language module with the real MeCab and the UniDic dictionary of the application
// folder: flags, base forms, the excluded nouns, long texts and concurrent analyses.
#include "sorn/sorn.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <thread>

#include "support/scoped_folders.h"

namespace {

using tavi::test::ScopedCurrentFolder;
namespace fs = std::filesystem;

// Makes the application folder current and starts the module for one test.
class SornAnalysis : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(tavi::test::appFolder().empty()) << "TAVI_APP_DIR is not set";
        current_.emplace(tavi::test::appFolder());
        sorn::finalize();
        ASSERT_TRUE(sorn::initialize());
    }
    void TearDown() override {
        sorn::finalize();
        current_.reset();
    }

private:
    std::optional<ScopedCurrentFolder> current_;
};

const sorn::Token* find(const std::vector<sorn::Token>& tokens, const std::wstring& surface) {
    for (const auto& t : tokens) {
        if (t.surface == surface) return &t;
    }
    return nullptr;
}

std::vector<std::wstring> surfaces(const std::vector<sorn::Token>& tokens) {
    std::vector<std::wstring> result;
    for (const auto& t : tokens) result.push_back(t.surface);
    return result;
}

void expectSameTokens(const std::vector<sorn::Token>& a, const std::vector<sorn::Token>& b) {
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].surface, b[i].surface) << i;
        EXPECT_EQ(a[i].base, b[i].base) << i;
        EXPECT_EQ(a[i].feature, b[i].feature) << i;
        EXPECT_EQ(a[i].flags, b[i].flags) << i;
    }
}

}  // namespace

TEST_F(SornAnalysis, FlagsAndBaseFormsFollowTheDictionaryColumns) {
    const auto tokens = sorn::analyze(L"東京で田中さんが美しい花を見た。京都、大阪");
    EXPECT_EQ(surfaces(tokens),
              (std::vector<std::wstring>{L"東京", L"で", L"田中", L"さん", L"が", L"美しい", L"花",
                                         L"を", L"見", L"た", L"。", L"京都", L"、", L"大阪"}));

    const sorn::Token* tokyo = find(tokens, L"東京");  // 名詞,固有名詞,地名,一般
    ASSERT_TRUE(tokyo);
    EXPECT_EQ(tokyo->flags, sorn::Noun | sorn::Proper | sorn::Place | sorn::General);
    EXPECT_EQ(tokyo->base, L"東京");
    EXPECT_EQ(tokyo->feature.rfind(L"名詞,固有名詞,地名,一般,", 0), 0u);

    const sorn::Token* tanaka = find(tokens, L"田中");  // 名詞,固有名詞,人名,姓
    ASSERT_TRUE(tanaka);
    EXPECT_EQ(tanaka->flags, sorn::Noun | sorn::Proper | sorn::Person);

    const sorn::Token* flower = find(tokens, L"花");  // 名詞,普通名詞,一般
    ASSERT_TRUE(flower);
    EXPECT_EQ(flower->flags, sorn::Noun | sorn::General);

    const sorn::Token* beautiful = find(tokens, L"美しい");
    ASSERT_TRUE(beautiful);
    EXPECT_EQ(beautiful->flags, sorn::Adjective);

    const sorn::Token* saw = find(tokens, L"見");  // the verb's base form is its dictionary form
    ASSERT_TRUE(saw);
    EXPECT_EQ(saw->base, L"見る");
    EXPECT_EQ(saw->flags, 0u);

    EXPECT_EQ(find(tokens, L"。")->flags, sorn::Terminal);
    EXPECT_EQ(find(tokens, L"、")->flags, 0u);
    EXPECT_EQ(find(tokens, L"で")->flags, 0u);

    EXPECT_EQ(surfaces(sorn::keywords(tokens)),
              (std::vector<std::wstring>{L"東京", L"花", L"京都", L"大阪"}));

    const auto more = sorn::analyze(L"空が青かった！本当？");
    ASSERT_TRUE(find(more, L"青かっ") && find(more, L"！") && find(more, L"？"));
    EXPECT_EQ(find(more, L"青かっ")->base, L"青い");
    EXPECT_EQ(find(more, L"青かっ")->flags, sorn::Adjective);
    EXPECT_EQ(find(more, L"！")->flags, sorn::Terminal);
    EXPECT_EQ(find(more, L"？")->flags, sorn::Terminal);
}

TEST_F(SornAnalysis, SeparatorsAreAnalysedAsSpaces) {
    const auto separated = sorn::analyze(L"花\t東京\n美しい\r\n海\u3000山");
    const auto spaced = sorn::analyze(L"花 東京 美しい  海 山");
    EXPECT_EQ(surfaces(separated),
              (std::vector<std::wstring>{L"花", L"東京", L"美しい", L"海", L"山"}));
    expectSameTokens(separated, spaced);
}

TEST_F(SornAnalysis, ExcludedNounsCountAsNothing) {
    // こと is 名詞,普通名詞,一般 with the lemma 事, which the shipped list excludes.
    const auto tokens = sorn::analyze(L"大切なことを話す。");
    const sorn::Token* thing = find(tokens, L"こと");
    ASSERT_TRUE(thing);
    EXPECT_NE(thing->feature.find(L"普通名詞,一般"), std::wstring::npos);
    EXPECT_EQ(thing->flags, 0u);
    for (const auto& key : sorn::keywords(tokens)) EXPECT_NE(key.surface, L"こと");
}

TEST_F(SornAnalysis, SecondInitializeIsRefusedAndFinalizeTurnsTheModuleOff) {
    EXPECT_FALSE(sorn::initialize());
    EXPECT_FALSE(sorn::analyze(L"花").empty());
    sorn::finalize();
    EXPECT_TRUE(sorn::analyze(L"花").empty());
    EXPECT_TRUE(sorn::initialize());
    EXPECT_EQ(sorn::analyze(L"花").size(), 1u);
    EXPECT_TRUE(sorn::analyze(L"").empty());
}

TEST_F(SornAnalysis, TextOverThePieceLimitIsAnalysedWhole) {
    const std::wstring line = L"今日は公園で美しい花を見た。\n";
    const auto one = sorn::analyze(line);
    ASSERT_FALSE(one.empty());
    std::wstring text;
    const int lines = 4000;  // about 180 KB of UTF-8
    for (int i = 0; i < lines; ++i) text += line;
    const auto all = sorn::analyze(text);
    ASSERT_EQ(all.size(), one.size() * lines);
    for (size_t i = 0; i < all.size(); i += 997) {
        EXPECT_EQ(all[i].surface, one[i % one.size()].surface) << i;
        EXPECT_EQ(all[i].flags, one[i % one.size()].flags) << i;
    }
}

TEST_F(SornAnalysis, ConcurrentAnalysesGiveTheSameTokens) {
    std::wstring text;
    for (int i = 0; i < 40; ++i) {
        text += L"駅前の小さな店で温かいコーヒーを飲みながら、友達と京都の旅行について話した。";
        text += L"窓の外では冷たい雨が降っていたが、店の中は明るくて静かだった。\n";
    }
    const auto expected = sorn::analyze(text);
    ASSERT_GT(expected.size(), 1000u);
    std::vector<std::vector<sorn::Token>> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) {
        threads.emplace_back([&text, &result] {
            for (int round = 0; round < 3; ++round) result = sorn::analyze(text);
        });
    }
    for (auto& t : threads) t.join();
    for (const auto& result : results) expectSameTokens(result, expected);
}

// A copy of the module folder with its own settings file, the dictionary linked in.
class SornSettings : public ::testing::Test {
protected:
    void start(const std::string& settings) {
        const fs::path app = fs::absolute(tavi::test::appFolder());
        folder_.write("sorn/etc/mecabrc", "dicdir = $(rcpath)/../dic/unidic\n");
        fs::create_directories(folder_.path() / "sorn/dic");
        fs::create_directory_symlink(fs::canonical(app / "sorn/dic/unidic"),
                                     folder_.path() / "sorn/dic/unidic");
        if (!settings.empty()) folder_.write("sorn/sorn.json", settings);
        sorn::finalize();
        ASSERT_TRUE(sorn::initialize());
    }
    void TearDown() override { sorn::finalize(); }

    uint32_t flagsOf(const std::wstring& text, const std::wstring& surface) {
        const auto tokens = sorn::analyze(text);
        const sorn::Token* token = find(tokens, surface);
        return token ? token->flags : 0xFFFFFFFFu;
    }

    tavi::test::ScopedWorkFolder folder_;
};

TEST_F(SornSettings, ListedLemmasAreExcludedAndOthersAreNot) {
    start("\xEF\xBB\xBF{\"exclude\": {\"nouns\": [\"\xE8\x8A\xB1\", 7, null, \"\xE3\x82\xAD\xE3\x83\xA7\xE3\x82\xA6\xE3\x83\x88\"]},"
          " \"other\": 1}");  // 花 and キョウト, with a byte-order mark and items that are no strings
    EXPECT_EQ(flagsOf(L"花を見た", L"花"), 0u);
    // A proper noun's lemma is its reading: キョウト excludes 京都.
    EXPECT_EQ(flagsOf(L"京都へ行く", L"京都"), 0u);
    EXPECT_EQ(flagsOf(L"東京へ行く", L"東京"),
              sorn::Noun | sorn::Proper | sorn::Place | sorn::General);
    EXPECT_EQ(flagsOf(L"大切なことを話す", L"こと"), sorn::Noun | sorn::General);
}

TEST_F(SornSettings, MissingOrMalformedSettingsExcludeNothing) {
    start("{\"exclude\": {\"nouns\": [\"\xE8\x8A\xB1\",]}");  // broken JSON
    EXPECT_EQ(flagsOf(L"花を見た", L"花"), sorn::Noun | sorn::General);
    sorn::finalize();
    fs::remove(folder_.path() / "sorn/sorn.json");
    ASSERT_TRUE(sorn::initialize());
    EXPECT_EQ(flagsOf(L"花を見た", L"花"), sorn::Noun | sorn::General);
}
