// The conversation engine driven by a hand-set millisecond clock (its cases under
// tests/data/engine, with loading under the stop flag) and pooled events.
#include "tavi/oreb/engine.h"

#include <gtest/gtest.h>

#include <set>

#include "support/cases.h"
#include "support/engine_script.h"

namespace tavi::oreb {
namespace {

struct EngineTest : ::testing::Test, test::EngineScript {};

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
        const std::string said =
            play("t0 " + std::to_string(t) + "\n0 +unit_drag\n10 +unit_drop\n10 !\n100 =\n100 !\n300 =\n");
        seen.insert(said.substr(said.find('\n') + 1));
    }
    const auto pooled = [](const char* line) {
        return std::string("0 +unit_drag\n10 +unit_drop\n10 ! no\n100 = ") + line + "\n100 ! no\n300 = -\n";
    };
    EXPECT_EQ(seen, (std::set<std::string>{pooled("drag"), pooled("drop")}));
}

}  // namespace
}  // namespace tavi::oreb
