// The language module with the real MeCab and the UniDic dictionary of the application folder:
// flags, base forms, excluded nouns and their settings file, long texts, concurrent analyses.
#include "sorn/sorn.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "support/language_module.h"

namespace {

namespace fs = std::filesystem;

// The analysis of a text as "surface/base/flags" per token, or one token's flags.
std::wstring tokens(const std::wstring& text) {
    std::wstring out;
    for (const auto& t : sorn::analyze(text)) out += t.surface + L"/" + t.base + L"/" + std::to_wstring(t.flags) + L" ";
    return out;
}
uint32_t flagsOf(const std::wstring& text, const std::wstring& surface) {
    for (const auto& t : sorn::analyze(text))
        if (t.surface == surface) return t.flags;
    return 0xFFFFFFFFu;
}

const uint32_t Place = sorn::Noun | sorn::Proper | sorn::Place | sorn::General;
const uint32_t Person = sorn::Noun | sorn::Proper | sorn::Person;
const uint32_t General = sorn::Noun | sorn::General;

class SornAnalysis : public ::testing::Test {
protected:
    // A module folder with its own settings file (none when empty), the dictionary linked in.
    void start(const std::string& settings = "") {
        folder_.emplace();
        if (!settings.empty()) folder_->write("sorn/sorn.json", settings);
        language_.emplace(folder_->path(), settings.empty());
        ASSERT_TRUE(language_->started());
    }
    void TearDown() override { language_.reset(); }
    std::optional<tavi::test::ScopedWorkFolder> folder_;
    std::optional<tavi::test::ScopedLanguageModule> language_;
};

TEST_F(SornAnalysis, FlagsBaseFormsAndKeywordsFollowTheDictionaryColumns) {
    start();
    const std::wstring want = L"東京/東京/" + std::to_wstring(Place) + L" で/で/0 田中/田中/" +
                              std::to_wstring(Person) + L" さん/さん/0 が/が/0 美しい/美しい/" +
                              std::to_wstring(sorn::Adjective) + L" 花/花/" + std::to_wstring(General) +
                              L" を/を/0 見/見る/0 た/た/0 。/。/" + std::to_wstring(sorn::Terminal) + L" 京都/京都/" +
                              std::to_wstring(Place) + L" 、/、/0 ";
    EXPECT_EQ(tokens(L"東京で田中さんが美しい花を見た。京都、"), want);
    const auto analysed = sorn::analyze(L"東京で田中さんが美しい花を見た。京都、大阪");
    EXPECT_EQ(analysed[0].feature.rfind(L"名詞,固有名詞,地名,一般,", 0), 0u);
    std::wstring keys;
    for (const auto& k : sorn::keywords(analysed)) keys += k.surface + L" ";
    EXPECT_EQ(keys, L"東京 花 京都 大阪 ");
    EXPECT_NE(tokens(L"空が青かった").find(L" 青かっ/青い/" + std::to_wstring(sorn::Adjective) + L" "),
              std::wstring::npos);
    EXPECT_EQ(flagsOf(L"本当？", L"？"), sorn::Terminal);
    EXPECT_EQ(flagsOf(L"本当！", L"！"), sorn::Terminal);
    // Separators are analysed as spaces; こと (普通名詞,一般 with the lemma 事) is excluded.
    EXPECT_EQ(tokens(L"花\t東京\n美しい\r\n海\u3000山"), tokens(L"花 東京 美しい  海 山"));
    EXPECT_EQ(flagsOf(L"大切なことを話す。", L"こと"), 0u);
    // A second start is refused; once finalized nothing is analysed until the next start.
    EXPECT_FALSE(sorn::initialize());
    sorn::finalize();
    EXPECT_TRUE(sorn::analyze(L"花").empty());
    EXPECT_TRUE(sorn::initialize());
    EXPECT_EQ(sorn::analyze(L"花").size(), 1u);
    EXPECT_TRUE(sorn::analyze(L"").empty());
}

TEST_F(SornAnalysis, TheSettingsFileListsExcludedLemmasAndABrokenOneExcludesNothing) {
    // 花 and キョウト (a proper noun's lemma is its reading), behind a byte-order mark and
    // between items that are no strings.
    start(
        "\xEF\xBB\xBF{\"exclude\": {\"nouns\": [\"\xE8\x8A\xB1\", 7, null, \"\xE3\x82\xAD\xE3\x83\xA7\xE3\x82\xA6"
        "\xE3\x83\x88\"]}, \"other\": 1}");
    EXPECT_EQ(flagsOf(L"花を見た", L"花"), 0u);
    EXPECT_EQ(flagsOf(L"京都へ行く", L"京都"), 0u);
    EXPECT_EQ(flagsOf(L"東京へ行く", L"東京"), Place);
    EXPECT_EQ(flagsOf(L"大切なことを話す", L"こと"), General);  // this list replaces the shipped one
    language_.reset();
    start("{\"exclude\": {\"nouns\": [\"\xE8\x8A\xB1\",]}");
    EXPECT_EQ(flagsOf(L"花を見た", L"花"), General);
}

TEST_F(SornAnalysis, LongTextsAreAnalysedWholeAndConcurrentAnalysesAgree) {
    start();
    const std::wstring line = L"今日は公園で美しい花を見た。\n";
    const auto one = sorn::analyze(line);
    std::wstring text;
    for (int i = 0; i < 2500; ++i) text += line;  // over 100 KB of UTF-8: analysed in pieces
    const auto all = sorn::analyze(text);
    ASSERT_EQ(all.size(), one.size() * 2500);
    for (size_t i = 0; i < all.size(); i += 997) EXPECT_EQ(all[i].surface, one[i % one.size()].surface) << i;
    std::wstring story;
    for (int i = 0; i < 40; ++i)
        story += L"駅前の小さな店で温かいコーヒーを飲みながら、友達と京都の旅行について話した。\n";
    const std::wstring expected = tokens(story);
    std::vector<std::wstring> results(4);
    std::vector<std::thread> threads;
    for (auto& result : results) threads.emplace_back([&story, &result] { result = tokens(story); });
    for (auto& t : threads) t.join();
    for (const auto& result : results) EXPECT_TRUE(result == expected);
}

}  // namespace
