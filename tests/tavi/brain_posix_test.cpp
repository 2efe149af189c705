// The brain loading a real corpus through the language module on its worker: the published
// progress, the settle pause, and stopping while loading.
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

}  // namespace
