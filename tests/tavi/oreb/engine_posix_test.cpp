// The engine with the real language module: corpus files learnt while loading, and free-text
// messages answered from the corpus with the keyword filled in.
#include "tavi/oreb/engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>

#include "support/language_module.h"
#include "tavi/oreb/corpus.h"

namespace tavi::oreb {
namespace {

class EngineWithLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        language_.emplace(work_.path());
        ASSERT_TRUE(language_->started());
        work_.write("brain/models/corpus/pets/animals.txt", "猫は魚が好きです。\n雨の日は静かです。\n");
    }
    // What the engine says 3000 ms after a free-text message.
    std::wstring answer(Engine& engine, const std::wstring& sentence) {
        now_ += 100000;
        engine.post(EventMessage{EventMessage::FreeText, sentence, {}});
        now_ += 3000;
        Response r;
        return engine.cycle(false, r) ? r.text : L"<none>";
    }
    std::unique_ptr<Engine> start(const std::string& responses) {
        work_.write("brain/response.json", responses);
        return std::make_unique<Engine>(L"brain\\", 3, progress_, stop_, [this] { return now_; });
    }
    tavi::test::ScopedWorkFolder work_;
    std::optional<tavi::test::ScopedLanguageModule> language_;
    std::atomic<float> progress_{0.0f};
    std::atomic<bool> stop_{false};
    uint32_t now_ = 0;
};

TEST_F(EngineWithLanguage, LearnsTheCorpusInSubfoldersWithTheAssociationFileAndAnswersFromIt) {
    work_.write("temp/corpus.txt", "犬;骨/4;;\n");
    auto engine = start(R"({"unknown": {"texts": ["unknown %keyword%"]},
                            "related_noun": {"action": "think", "texts": ["%keyword% and %noun%"]}})");
    EXPECT_EQ(progress_.load(), 1.0f);
    EXPECT_EQ(engine->corpus().links().at(L"猫").at(L"魚").count, 2);
    EXPECT_EQ(engine->corpus().links().at(L"犬").at(L"骨").count, 4);
    EXPECT_EQ(answer(*engine, L"猫"), L"猫 and 魚");
    EXPECT_EQ(answer(*engine, L"鳥"), L"unknown 鳥");
    EXPECT_EQ(answer(*engine, L"雨"), L"<none>");  // known, but nothing related: neither line
}

TEST_F(EngineWithLanguage, TheThroughLineTakesTheLastKeywordFound) {
    auto engine = start(R"({"through": {"texts": ["[%keyword%]"]}})");
    EXPECT_EQ(answer(*engine, L"犬"), L"[犬]");
    EXPECT_EQ(answer(*engine, L"犬と猫"), L"[猫]");  // the known one is looked for last
    EXPECT_EQ(answer(*engine, L"です"), L"[]");      // no keyword still gives the line
}

}  // namespace
}  // namespace tavi::oreb
