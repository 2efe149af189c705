// The away-from-keyboard tool through its monitor seam: it announces itself, then after its
// delay darkens the screen or starts the screen saver, while the command returns at once.
#include "tavi/tool/afk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <memory>

namespace tavi::tool {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(Afk, AnnouncesThenAfterItsDelayTurnsTheMonitorOffOrStartsTheScreenSaver) {
    for (const auto& [command, call] : {std::pair{L"afk", L"monitor off"}, {L"afk -s", L"screen saver"}}) {
        std::promise<std::wstring> called;  // what was queued at the moment of the call, and the call
        std::unique_ptr<Afk> afk;
        afk = std::make_unique<Afk>(
            [&](bool screenSaver) {
                EventMessage queued;
                called.set_value((afk->poll(queued) ? queued.name : L"(nothing queued)") + L", " +
                                 (screenSaver ? L"screen saver" : L"monitor off"));
            },
            600ms);
        std::future<std::wstring> result = called.get_future();
        const auto start = Clock::now();
        afk->command(Command(command));
        EXPECT_LT(Clock::now() - start, 600ms);  // the command returns first
        ASSERT_EQ(result.wait_for(5s), std::future_status::ready);
        EXPECT_GE(Clock::now() - start, 600ms);
        EXPECT_EQ(result.get(), std::wstring(L"tool_afk, ") + call);
    }
}

}  // namespace
}  // namespace tavi::tool
