// The engine with the real language module: corpus files learnt while loading, and free-text
// messages answered from the corpus with the keyword filled in.
#include "tavi/oreb/engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <string>

#include "support/language_module.h"
#include "support/scoped_folders.h"
#include "tavi/oreb/corpus.h"

namespace {

using tavi::EventMessage;
using tavi::Response;
using tavi::oreb::Engine;

const char* const CorpusText = "猫は魚が好きです。\n雨の日は静かです。\n";

EventMessage freeText(const std::wstring& sentence) {
    EventMessage m;
    m.kind = EventMessage::FreeText;
    m.name = sentence;
    return m;
}

class EngineWithLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        language_.emplace(work_.path());
        ASSERT_TRUE(language_->started());
        work_.write("brain/models/corpus/pets/animals.txt", CorpusText);
    }
    void TearDown() override { language_.reset(); }

    // Says whatever the engine has to say 3000 ms after a message.
    std::wstring answer(Engine& engine, const std::wstring& sentence) {
        now_ += 100000;
        engine.post(freeText(sentence));
        now_ += 3000;
        Response r;
        if (!engine.cycle(false, r)) return L"<none>";
        return r.text;
    }

    tavi::test::ScopedWorkFolder work_;
    std::optional<tavi::test::ScopedLanguageModule> language_;
    std::atomic<float> progress_{0.0f};
    std::atomic<bool> stop_{false};
    uint32_t now_ = 0;
};

TEST_F(EngineWithLanguage, LearnsCorpusFilesInSubfoldersAndTheAssociationFile) {
    work_.write("temp/corpus.txt", "犬;骨/4;;\n");
    Engine engine(L"brain\\", 3, progress_, stop_, [this] { return now_; });
    EXPECT_EQ(progress_.load(), 1.0f);
    const auto& links = engine.corpus().links();
    ASSERT_EQ(links.count(L"猫"), 1u);
    EXPECT_EQ(links.at(L"猫").at(L"魚").count, 2);
    ASSERT_EQ(links.count(L"犬"), 1u);
    EXPECT_EQ(links.at(L"犬").at(L"骨").count, 4);
}

TEST_F(EngineWithLanguage, FreeTextIsAnsweredFromTheCorpus) {
    work_.write("brain/response.json", R"({
      "unknown": {"texts": ["unknown %keyword%"]},
      "related_noun": {"action": "think", "texts": ["%keyword% and %noun%"]}
    })");
    Engine engine(L"brain\\", 3, progress_, stop_, [this] { return now_; });
    EXPECT_EQ(answer(engine, L"猫"), L"猫 and 魚");
    EXPECT_EQ(answer(engine, L"犬"), L"unknown 犬");
    // "雨" is known but has no related word: neither line applies.
    EXPECT_EQ(answer(engine, L"雨"), L"<none>");
}

TEST_F(EngineWithLanguage, ThroughLineTakesTheLastKeywordFound) {
    work_.write("brain/response.json", R"({"through": {"texts": ["[%keyword%]"]}})");
    Engine engine(L"brain\\", 3, progress_, stop_, [this] { return now_; });
    // An unknown keyword, then a known one, then both: the known one is looked for last.
    EXPECT_EQ(answer(engine, L"犬"), L"[犬]");
    EXPECT_EQ(answer(engine, L"犬と猫"), L"[猫]");
    // No keyword at all still gives the line, with nothing in place of the keyword.
    EXPECT_EQ(answer(engine, L"です"), L"[]");
}

}  // namespace
