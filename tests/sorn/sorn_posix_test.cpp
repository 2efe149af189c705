// The language module with the real MeCab and the UniDic dictionary of the application folder:
// the analyses under tests/data/sorn (with excluded nouns and their settings file), and
// concurrent analyses.
#include "sorn/sorn.h"

#include <gtest/gtest.h>

#include <optional>
#include <thread>

#include "support/cases.h"
#include "support/language_module.h"

namespace {

// The analysis of a text as "surface/base/flags" per token.
std::wstring tokens(const std::wstring& text) {
    std::wstring out;
    for (const auto& t : sorn::analyze(text)) out += t.surface + L"/" + t.base + L"/" + std::to_wstring(t.flags) + L" ";
    return out;
}

TEST(SornAnalysis, CasesAnalyseAsTheirFilesSayUntilFinalizedAndConcurrentAnalysesAgree) {
    std::optional<tavi::test::ScopedLanguageModule> language;
    tavi::test::runCases("sorn", [&](std::string text) {
        // A first line "settings <json>" gives the module a settings file of its own, else it
        // has the shipped one.
        std::string settings;
        if (text.rfind("settings ", 0) == 0) {
            settings = text.substr(9, text.find('\n') - 9);
            text.erase(0, text.find('\n') + 1);
        }
        language.emplace(settings.empty(), settings);
        EXPECT_TRUE(language->started);
        std::string out;
        const auto analysed = sorn::analyze(sorn::toWide(text.c_str()));
        for (const auto& t : analysed) {
            size_t end = 0;
            for (int column = 0; column < 4 && end != std::wstring::npos; ++column) end = t.feature.find(L',', end + 1);
            out += sorn::toUtf8(t.surface + L" " + t.base + L" " + std::to_wstring(t.flags) + L" " +
                                t.feature.substr(0, end)) +
                   "\n";
        }
        out += "keywords:";
        for (const auto& k : sorn::keywords(analysed)) out += " " + sorn::toUtf8(k.surface);
        return tavi::test::Outcome{out, ""};
    });
    // A second start is refused; once finalized nothing is analysed until the next start.
    EXPECT_FALSE(sorn::initialize());
    sorn::finalize();
    EXPECT_TRUE(sorn::analyze(L"花").empty());
    EXPECT_TRUE(sorn::initialize());
    EXPECT_EQ(sorn::analyze(L"花").size(), 1u);
    EXPECT_TRUE(sorn::analyze(L"").empty());
    // Long texts analysed on four threads at once (a long text as a whole: engine_posix_test).
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
