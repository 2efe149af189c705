// The corpus, the engine and the brain with the real language module: a long text learnt piece
// by piece, corpus files learnt while loading (progress file by file, a stop honoured between
// pieces), and free-text messages answered from the corpus (the cases under
// tests/data/engine-language) with the keyword filled in.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <thread>

#include "sorn/pieces.h"
#include "support/cases.h"
#include "support/engine_script.h"
#include "support/language_module.h"
#include "tavi/brain.h"
#include "tavi/oreb/corpus.h"
#include "tavi/oreb/engine.h"

namespace tavi::oreb {
namespace {

using namespace std::chrono_literals;

TEST(EngineWithLanguage, LearnsALongTextPieceByPieceAndTheCorpusFilesAnswersAsTheCasesSayAndLoadsFileByFile) {
    // A long text learnt piece by piece gives the links of the whole.
    test::ScopedLanguageModule work;
    ASSERT_TRUE(work.started);
    // Long lines, so that pieces end after a full stop or anywhere, and nouns stand near cuts.
    std::wstring text;
    const wchar_t* const sentences[] = {L"猫は魚と牛乳が好きです。", L"古い地図と新しい鉛筆を机に置いた。",
                                        L"雨の日の公園は静かで暗い。", L"駅前の店で赤いりんごを買う"};
    for (int i = 0; text.size() < 120000; ++i) text += std::wstring(sentences[i % 4]) + (i % 37 == 36 ? L"\n" : L"");
    ASSERT_GT(sorn::sentencesOf(text).size(), 20u);
    Corpus whole(3, L"none.txt"), pieces(3, L"none.txt"), stopped(3, L"none.txt");
    whole.learn(sorn::analyze(text));
    std::atomic<bool> stop{false};
    EXPECT_TRUE(pieces.learnText(text, stop));
    ASSERT_GT(whole.links().size(), 5u);
    ASSERT_EQ(pieces.links().size(), whole.links().size());
    for (const auto& [noun, related] : whole.links()) {
        ASSERT_EQ(pieces.links().at(noun).size(), related.size());
        for (const auto& [word, link] : related) EXPECT_EQ(pieces.links().at(noun).at(word).count, link.count) << word;
    }
    stop = true;
    EXPECT_FALSE(stopped.learnText(text, stop));
    EXPECT_TRUE(stopped.links().empty());

    // The engine learns the corpus files in subfolders beside the association file, and
    // answers free text from them as the cases say.
    work.write("temp/corpus.txt", "犬;骨/4;;\n");
    test::EngineScript script;
    test::writeBytes(script.folder / L"models/corpus/pets/animals.txt", "猫は魚が好きです。\n雨の日は静かです。\n");
    script.start("{}");
    test::runCases("engine-language", [&](const std::string& steps) { return test::Outcome{script.play(steps), ""}; });

    // A brain's progress rises file by file, and destroying it waits only for the current piece.
    std::string page;  // about 40 ms of analysis on a quiet machine
    while (page.size() < 24000) page += "猫は魚が好きです。雨の日は静かです。\n";
    const int pages = 200;  // some seconds in all, far more than the test waits
    for (int i = 0; i < pages; ++i)
        work.write("brain/models/corpus/" + std::to_string(i % 3) + "/page" + std::to_string(i) + ".txt", page);
    auto brain = std::make_unique<Brain>(L"brain\\");
    std::set<float> seen;
    float value = 0, last = 0;
    const auto end = std::chrono::steady_clock::now() + 60s;
    while (seen.size() < 4 && brain->progress(value) && std::chrono::steady_clock::now() < end) {
        EXPECT_GE(value, last);
        EXPECT_NEAR(value * pages, float(int(value * pages + 0.5f)), 1e-3) << value;  // whole files only
        if (value > 0.0f) seen.insert(last = value);
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_EQ(seen.size(), 4u);
    ASSERT_LT(*seen.rbegin(), 0.5f) << "loading went too fast to be interrupted";
    // The rest of the corpus is not analysed, and no settle pause follows.
    const auto start = std::chrono::steady_clock::now();
    brain.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 4s);
}

}  // namespace
}  // namespace tavi::oreb
