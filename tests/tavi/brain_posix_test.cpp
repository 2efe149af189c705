// The brain loading a real corpus through the language module on its worker: the published
// progress, the settle pause, stopping while loading, and two brains side by side.
#include "tavi/brain.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "support/language_module.h"
#include "support/scoped_folders.h"
#include "tavi/events.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

long long millis(Clock::duration d) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}
using tavi::Brain;
using tavi::EventMessage;
using tavi::Response;

// About 40 ms of analysis per file on a quiet machine.
std::string corpusPage() {
    std::string page;
    while (page.size() < 24000) page += "猫は魚が好きです。雨の日は静かです。\n";
    return page;
}

class BrainWithLanguage : public ::testing::Test {
protected:
    void SetUp() override {
        language_.emplace(work_.path());
        ASSERT_TRUE(language_->started());
        work_.write("brain/event.json", R"({"unit_wakeup": ["hello"]})");
        work_.write("brain/response.json",
                    R"({"related_noun": {"action": "think", "texts": ["%keyword% and %noun%"]}})");
    }
    void TearDown() override { language_.reset(); }

    void writePages(int count) {
        const std::string page = corpusPage();
        for (int i = 0; i < count; ++i)
            work_.write("brain/models/corpus/" + std::to_string(i % 3) + "/page" +
                            std::to_string(i) + ".txt",
                        page);
    }

    tavi::test::ScopedWorkFolder work_;
    std::optional<tavi::test::ScopedLanguageModule> language_;
};

Response nextResponse(Brain& brain, std::chrono::milliseconds within) {
    Response r;
    const auto deadline = Clock::now() + within;
    while (Clock::now() < deadline) {
        if (brain.poll(r)) return r;
        std::this_thread::sleep_for(5ms);
    }
    return Response{L"<none>", L""};
}

TEST_F(BrainWithLanguage, ProgressRisesToOneThenStaysLoadingForTheSettlePause) {
    const int pages = 24;
    writePages(pages);
    Brain brain(L"brain\\");

    struct Sample {
        Clock::time_point at;
        float value;
        bool loading;
    };
    std::vector<Sample> samples;
    const auto deadline = Clock::now() + 120s;
    for (;;) {
        float value = -1;
        const bool loading = brain.progress(value);
        samples.push_back({Clock::now(), value, loading});
        if (!loading || Clock::now() > deadline) break;
        std::this_thread::sleep_for(2ms);
    }
    ASSERT_FALSE(samples.back().loading) << "never became ready";

    bool between = false;
    std::optional<Clock::time_point> full;
    for (size_t i = 0; i < samples.size(); ++i) {
        const float v = samples[i].value;
        ASSERT_GE(v, 0.0f);
        ASSERT_LE(v, 1.0f);
        // Whole files only: a multiple of 1/pages.
        EXPECT_NEAR(v * pages, float(int(v * pages + 0.5f)), 1e-3) << v;
        if (i > 0) {
            EXPECT_GE(v, samples[i - 1].value);
        }
        if (v > 0.0f && v < 1.0f) between = true;
        if (v == 1.0f && !full) full = samples[i].at;
    }
    EXPECT_LT(samples.front().value, 1.0f) << "the corpus loaded before the constructor returned";
    EXPECT_TRUE(between);
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(samples.back().value, 1.0f);
    // Fully loaded, yet still reported as loading for about one more second.
    EXPECT_GE(millis(samples.back().at - *full), 900);

    // The corpus was learnt on the worker: a known keyword brings its related noun, after the
    // two-second pause that follows every message.
    EventMessage text;
    text.kind = EventMessage::FreeText;
    text.name = L"猫";
    const auto posted = Clock::now();
    brain.post(text);
    const Response r = nextResponse(brain, 20s);
    EXPECT_EQ(r.text, L"猫 and 魚");
    EXPECT_EQ(r.action, L"think");
    EXPECT_GE(millis(Clock::now() - posted), 1990);
}

TEST_F(BrainWithLanguage, DestroyingWhileLoadingWaitsOnlyForTheCurrentPiece) {
    // Some seconds of analysis in all, far more than the test waits.
    writePages(200);
    auto brain = std::make_unique<Brain>(L"brain\\");
    brain->post(tavi::events::unitWakeup());
    float value = 0;
    ASSERT_TRUE(brain->progress(value));
    ASSERT_LT(value, 0.5f) << "loading went too fast to be interrupted";

    const auto start = Clock::now();
    brain.reset();
    // The rest of the corpus is not analysed, and no settle pause follows: well under the
    // time the whole corpus takes.
    EXPECT_LT(millis(Clock::now() - start), 4000);
}

TEST_F(BrainWithLanguage, TwoBrainsLoadAndAnswerSideBySide) {
    writePages(6);
    Brain first(L"brain\\");
    Brain second(L"brain\\");
    first.post(tavi::events::unitWakeup());
    second.post(tavi::events::unitWakeup());
    EXPECT_EQ(nextResponse(first, 60s).text, L"hello");
    EXPECT_EQ(nextResponse(second, 10s).text, L"hello");
}

}  // namespace
