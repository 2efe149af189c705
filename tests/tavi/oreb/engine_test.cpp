// The conversation engine driven by a hand-set millisecond clock (its cases under
// tests/data/engine), pooled events, and loading with the stop flag.
#include "tavi/oreb/engine.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <set>
#include <sstream>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace tavi::oreb {
namespace {

using test::writeBytes;

const char* const EventTable = R"({"unit_wakeup": ["wake"], "unit_drag": {"action": "grab", "texts": ["drag"]},
                                   "unit_drop": ["drop"]})";

class EngineTest : public ::testing::Test {
protected:
    void start(const std::string& responses) {
        writeBytes(folder_ / L"event.json", EventTable);
        writeBytes(folder_ / L"response.json", responses);
        engine_ = std::make_unique<Engine>(folder_.path(), 3, progress_, stop_, [this] { return now_.load(); });
        EXPECT_EQ(progress_.load(), 1.0f);  // the tables loaded, no corpus files to learn
    }

    // Plays the steps of a case (tests/data/engine/README) and gives them back, each question
    // with its answer.
    std::string play(const std::string& steps) {
        std::istringstream in(steps);
        std::string out, line;
        uint32_t t0 = 0;
        while (std::getline(in, line)) {
            const size_t space = line.find(' ');
            const std::string head = line.substr(0, space), act = line.substr(space + 1);
            const std::wstring rest = kiro::io::fromUtf8(act.substr(1));
            out += line;
            if (head == "responses") {
                start(act);
            } else if (head == "t0") {
                t0 = uint32_t(std::stoul(act));
            } else {
                now_ = t0 + uint32_t(std::stoul(head));
                Response r;
                if (act[0] == '+') engine_->post(EventMessage{EventMessage::Named, rest, {}});
                if (act[0] == '?') engine_->post(EventMessage{EventMessage::FreeText, rest, {}});
                if (act[0] == '*') engine_->post(EventMessage{});
                if (act[0] == '=' || act[0] == '~')
                    out += " " + (engine_->cycle(act[0] == '~', r) ? kiro::io::toUtf8(r.text) : "-");
                if (act[0] == '^' || act[0] == '_') {
                    const uint32_t due = engine_->dueIn(act[0] == '_');
                    out += " " + (due == Engine::NeverDue ? "never" : std::to_string(due));
                }
                if (act[0] == '!') out += engine_->hasEventLines() ? " yes" : " no";
            }
            out += "\n";
        }
        return out;
    }

    test::TempFolder folder_;
    std::atomic<float> progress_{0.5f};
    std::atomic<bool> stop_{false};
    std::atomic<uint32_t> now_{0};
    std::unique_ptr<Engine> engine_;
};

// Event lines before chatter, the pause before conversation lines, boredom, the quiet rule,
// and the due times the brain's worker sleeps by (a due time later than the next line would
// delay or lose it).
TEST_F(EngineTest, CasesPlayAsTheirFilesSay) {
    test::runCases("engine", [&](const std::string& steps) { return test::Outcome{play(steps), ""}; });
}

TEST_F(EngineTest, EventsOfOneCyclePoolTheirLinesIntoOneResponse) {
    start("{}");
    std::set<std::string> seen;
    for (uint32_t t = 1000000; t < 1200000; t += 10000) {
        // Nothing is collected before the cycle; the line not drawn is gone after it.
        const std::string said = play("t0 " + std::to_string(t) + "\n0 +unit_drag\n10 +unit_drop\n10 !\n100 =\n100 !\n300 =\n");
        seen.insert(said.substr(said.find('\n') + 1));
    }
    const auto pooled = [](const char* line) {
        return std::string("0 +unit_drag\n10 +unit_drop\n10 ! no\n100 = ") + line + "\n100 ! no\n300 = -\n";
    };
    EXPECT_EQ(seen, (std::set<std::string>{pooled("drag"), pooled("drop")}));
}

TEST(EngineLoading, TheStopFlagLeavesTheCorpusUnlearntButTheTablesLoaded) {
    test::TempFolder folder;
    for (int i = 0; i < 4; ++i) writeBytes(folder / (L"models/corpus/f" + std::to_wstring(i) + L".txt"), "text");
    writeBytes(folder / L"event.json", EventTable);
    std::atomic<float> progress{0.75f};
    std::atomic<bool> stop{true};
    Engine engine(folder.path(), 3, progress, stop, [] { return 10u; });
    EXPECT_EQ(progress.load(), 0.0f);  // reset, and never advanced
    engine.post(EventMessage{EventMessage::Named, L"unit_wakeup", {}});
    Response r;
    ASSERT_TRUE(engine.cycle(false, r));
    EXPECT_EQ(r.text, L"wake");
}

}  // namespace
}  // namespace tavi::oreb
