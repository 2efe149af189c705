// The tool registry: routing of commands, the tick cadence across a wrap of the millisecond
// counter, one event taken per poll, and when the tools are next due.
#include "tavi/tool/registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/scoped_folders.h"
#include "support/uidriver.h"
#include "tavi/tool/clock.h"

namespace tavi::tool {
namespace {

// A tool that notes what the registry asks of it.
struct Probe : IToolKit {
    std::string seen;  // the commands as text and options, and the times of the second rounds
    int ticks = 0, minutes = 0;
    const uint32_t* now = nullptr;
    void command(const Command& c) override {
        seen +=
            " " + kiro::io::toUtf8(c.text) + " x=" + (c.hasOption(L"x") ? kiro::io::toUtf8(c.options.at(L"x")) : "");
    }
    void tick() override { ++ticks; }
    void everySecond() override { seen += " @" + std::to_string(*now); }
    void everyMinute() override { ++minutes; }
};

// Plays the step scripts of tests/data/registry (see the README there) on a registry with the
// tools a and b, on hand-set clocks, and gives back each step with its answer.
TEST(Registry, CasesPlayAsTheirFilesSay) {
    test::runCases("registry", [](const std::string& steps) {
        uint32_t now = 0;
        kiro::LocalTime local;
        std::optional<Registry> registry;
        std::atomic<int> wakes{0};
        Probe *a = nullptr, *b = nullptr;
        auto step = [&](const std::string& verb, const std::string& arg) -> std::string {
            const std::wstring name = kiro::io::fromUtf8(arg.substr(0, arg.find(' ')));
            const EventMessage event{EventMessage::Named, kiro::io::fromUtf8(arg.substr(arg.find(' ') + 1)), {}};
            const uint32_t ms = uint32_t(std::strtoul(arg.c_str() + arg.rfind(' ') + 1, nullptr, 10));  // the last word
            if (verb == "start") {
                now = ms;
                registry.emplace(Registry::Empty{}, [&] { return now; });
                registry->add(L"a", std::unique_ptr<IToolKit>(a = new Probe));
                registry->add(L"b", std::unique_ptr<IToolKit>(b = new Probe));
                a->now = b->now = &now;
            }
            if (verb == "dispatch") return registry->dispatch(kiro::io::fromUtf8(arg)) ? " yes" : " no";
            if (verb == "wake") registry->setWake([&] { ++wakes; });
            if (verb == "wakes") return " " + std::to_string(wakes.load());
            if (verb == "add") registry->add(name, std::make_unique<IToolKit>());
            if (verb == "clock") registry->add(L"clock", std::make_unique<Clock>([&] { return local; }));
            if (verb == "local") std::sscanf(arg.c_str(), "%d:%d:%d", &local.hour, &local.minute, &local.second);
            if (verb == "raise") registry->find(name)->raise(event);
            if (verb == "raise-elsewhere") std::thread([&] { registry->find(name)->raise(event); }).join();
            if (verb == "due")
                return registry->dueIn() == IToolKit::NeverDue ? " never" : " " + std::to_string(registry->dueIn());
            if (verb == "pass") now += ms;
            if (verb == "tick")
                for (uint32_t n = arg.find(' ') == arg.npos ? 1 : std::stoul(arg); n > 0; --n) {
                    now += ms;
                    registry->tick();
                }
            std::string out;
            if (verb == "seen") {
                out = " a:" + a->seen + " b:" + b->seen + " " + std::to_string(a->ticks + b->ticks) + " ticks " +
                      std::to_string(a->minutes + b->minutes) + " minutes";
                a->seen = b->seen = "";
            }
            if (verb == "poll") {
                EventMessage got;
                out = registry->pollOne(got) ? " " + kiro::io::toUtf8(got.name) : " none";
                for (const auto& p : std::map<std::wstring, std::wstring>(got.params.begin(), got.params.end()))
                    out += " " + kiro::io::toUtf8(p.first + L"=" + p.second);
            }
            return out;
        };
        return test::Outcome{test::playSteps(steps, step), ""};
    });
}

TEST(Registry, TheProgramsRegistryHoldsTheRealTools) {
    // The feed reader, holding no items yet, only says so and writes no page.
    ASSERT_TRUE(uitest::start());
    const test::ScopedWorkFolder folder;  // no feed list, and room for a page
    Registry program(
        nullptr, [] { return 5u; }, [] { return kiro::LocalTime{}; });
    EXPECT_TRUE(program.find(L"afk") && program.find(L"clock") && program.find(L"memo") && program.find(L"rss"));
    EXPECT_TRUE(program.dispatch(L"rss -dump"));
    EventMessage out;
    ASSERT_TRUE(program.pollOne(out));
    EXPECT_EQ(out.name, L"tool_feed_empty");
    EXPECT_FALSE(program.pollOne(out));
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "temp"));
}

}  // namespace
}  // namespace tavi::tool
