// The main window's tick plan on a hand-set clock (its cases under tests/data/pacer): 50 ms
// while anything moves, one timer for the whole sleep while nothing does, none when nothing is
// due, and a wake-up running the next tick at once with the ticks slept through.
#include "tavi/pacer.h"

#include <gtest/gtest.h>

#include "support/cases.h"
#include "tavi/ticks.h"

namespace tavi {
namespace {

TEST(Pacer, CasesPlanAsTheirFilesSay) {
    test::runCases("pacer", [](const std::string& steps) {
        uint32_t now = 0xFFFFFF00u;  // the clock wraps on the way
        Pacer pacer([&] { return now; });
        auto step = [&](const std::string& act, const std::string& value) -> std::string {
            uint32_t ms = 0;
            if (act == "plan") pacer.plan(value == "never" ? NeverDue : uint32_t(std::stoul(value)));
            if (act == "wait") now += uint32_t(std::stoul(value));
            if (act == "timer") return pacer.takeTimer(ms) ? " " + std::to_string(ms) : " -";
            if (act == "fire") return " " + std::to_string(pacer.fire());
            if (act == "wake") return " " + std::to_string(pacer.wake());
            return "";
        };
        return test::Outcome{test::playSteps(steps, step), ""};
    });
}

}  // namespace
}  // namespace tavi
