// The away-from-keyboard tool through its monitor seam: it announces itself, then after its
// delay darkens the screen or starts the screen saver, while the command returns at once.
#include "tavi/tool/afk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tavi::tool {
namespace {

using namespace std::chrono_literals;

TEST(Afk, AnnouncesThenAfterItsDelayTurnsTheMonitorOffOrStartsTheScreenSaver) {
    for (const auto& [command, call] : {std::pair{L"afk", L"monitor off"}, {L"afk -s", L"screen saver"}}) {
        std::mutex lock;
        std::condition_variable changed;
        std::vector<std::wstring> log;  // what was queued at the moment of the call, and the call
        std::unique_ptr<Afk> afk;
        afk = std::make_unique<Afk>(
            [&](bool screenSaver) {
                std::lock_guard<std::mutex> hold(lock);
                EventMessage queued;
                log.push_back(afk->poll(queued) ? queued.name : L"(nothing queued)");
                log.push_back(screenSaver ? L"screen saver" : L"monitor off");
                changed.notify_all();
            },
            600ms);
        const auto start = std::chrono::steady_clock::now();
        afk->command(Command(command));
        EXPECT_LT(std::chrono::steady_clock::now() - start, 600ms);  // the command returns first
        std::unique_lock<std::mutex> hold(lock);
        EXPECT_TRUE(log.empty());
        ASSERT_TRUE(changed.wait_for(hold, 5s, [&] { return log.size() >= 2; }));
        EXPECT_GE(std::chrono::steady_clock::now() - start, 600ms);
        EXPECT_EQ(log, (std::vector<std::wstring>{L"tool_afk", call}));
    }
}

}  // namespace
}  // namespace tavi::tool
