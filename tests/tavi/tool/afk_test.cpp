// Tests of the away-from-keyboard tool through its monitor seam.
#include "tavi/tool/afk.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

using namespace std::chrono_literals;
using tavi::EventMessage;
using tavi::tool::Afk;
using tavi::tool::Command;

namespace {

// What the seam saw, shared with the worker.
struct Seen {
    std::mutex lock;
    std::condition_variable changed;
    std::vector<std::wstring> log;
    Afk* tool = nullptr;

    bool waitFor(size_t entries) {
        std::unique_lock<std::mutex> hold(lock);
        return changed.wait_for(hold, 5s, [&] { return log.size() >= entries; });
    }
};

std::unique_ptr<Afk> makeAfk(const std::shared_ptr<Seen>& seen, std::chrono::milliseconds delay) {
    auto afk = std::make_unique<Afk>(
        [seen](bool screenSaver) {
            std::lock_guard<std::mutex> hold(seen->lock);
            // Whatever the queue holds at the moment of the monitor call.
            EventMessage queued;
            seen->log.push_back(seen->tool->poll(queued) ? queued.name : L"(nothing queued)");
            seen->log.push_back(screenSaver ? L"screen saver" : L"monitor off");
            seen->changed.notify_all();
        },
        delay);
    seen->tool = afk.get();
    return afk;
}

}  // namespace

TEST(Afk, AnnouncesBeforeTheMonitorGoesOff) {
    auto seen = std::make_shared<Seen>();
    auto afk = makeAfk(seen, 50ms);
    afk->command(Command(L"afk"));
    ASSERT_TRUE(seen->waitFor(2));
    EXPECT_EQ(seen->log, (std::vector<std::wstring>{L"tool_afk", L"monitor off"}));
}

TEST(Afk, OptionSStartsTheScreenSaver) {
    auto seen = std::make_shared<Seen>();
    auto afk = makeAfk(seen, 50ms);
    afk->command(Command(L"afk -s"));
    ASSERT_TRUE(seen->waitFor(2));
    EXPECT_EQ(seen->log, (std::vector<std::wstring>{L"tool_afk", L"screen saver"}));
}

TEST(Afk, TheCallWaitsForTheDelayAndTheCommandReturnsFirst) {
    auto seen = std::make_shared<Seen>();
    auto afk = makeAfk(seen, 600ms);
    const auto start = std::chrono::steady_clock::now();
    afk->command(Command(L"afk"));
    const auto returned = std::chrono::steady_clock::now() - start;
    EXPECT_LT(returned, 600ms);
    {
        std::lock_guard<std::mutex> hold(seen->lock);
        EXPECT_TRUE(seen->log.empty());
    }
    ASSERT_TRUE(seen->waitFor(2));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 600ms);
    EXPECT_EQ(seen->log.front(), L"tool_afk");
}
