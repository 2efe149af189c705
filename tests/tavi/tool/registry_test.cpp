// The tool registry: routing of commands, the tick cadence across a wrap of the millisecond
// counter, one event taken per poll, and when the tools are next due.
#include "tavi/tool/registry.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
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
        std::istringstream in(steps);
        std::string out, line;
        while (std::getline(in, line)) {
            const size_t space = line.find(' ');
            const std::string verb = line.substr(0, space), arg = space == line.npos ? "" : line.substr(space + 1);
            const std::wstring name = kiro::io::fromUtf8(arg.substr(0, arg.find(' ')));
            const auto number = [&] { return uint32_t(std::stoul(arg.substr(arg.rfind(' ') + 1))); };
            out += line;
            if (verb == "start") {
                now = uint32_t(std::stoul(arg));
                registry.emplace(Registry::Empty{}, [&] { return now; });
                registry->add(L"a", std::unique_ptr<IToolKit>(a = new Probe));
                registry->add(L"b", std::unique_ptr<IToolKit>(b = new Probe));
                a->now = b->now = &now;
            } else if (verb == "dispatch") {
                out += registry->dispatch(kiro::io::fromUtf8(arg)) ? " yes" : " no";
            } else if (verb == "seen") {
                out += " a:" + a->seen + " b:" + b->seen + " " + std::to_string(a->ticks + b->ticks) + " ticks " +
                       std::to_string(a->minutes + b->minutes) + " minutes";
                a->seen = b->seen = "";
            } else if (verb == "wake") {
                registry->setWake([&] { ++wakes; });
            } else if (verb == "wakes") {
                out += " " + std::to_string(wakes.load());
            } else if (verb == "add") {
                registry->add(name, std::make_unique<IToolKit>());
            } else if (verb == "clock") {
                registry->add(L"clock", std::make_unique<Clock>([&] { return local; }));
            } else if (verb == "local") {
                std::sscanf(arg.c_str(), "%d:%d:%d", &local.hour, &local.minute, &local.second);
            } else if (verb == "raise" || verb == "raise-elsewhere") {
                const EventMessage event{EventMessage::Named, kiro::io::fromUtf8(arg.substr(arg.find(' ') + 1)), {}};
                if (verb == "raise")
                    registry->find(name)->raise(event);
                else
                    std::thread([&] { registry->find(name)->raise(event); }).join();
            } else if (verb == "due") {
                out += registry->dueIn() == IToolKit::NeverDue ? " never" : " " + std::to_string(registry->dueIn());
            } else if (verb == "pass") {
                now += number();
            } else if (verb == "tick") {
                for (uint32_t n = arg.find(' ') == arg.npos ? 1 : std::stoul(arg); n > 0; --n)
                    now += number(), registry->tick();
            } else if (verb == "poll") {
                EventMessage event;
                out += registry->pollOne(event) ? " " + kiro::io::toUtf8(event.name) : " none";
                for (const auto& p : std::map<std::wstring, std::wstring>(event.params.begin(), event.params.end()))
                    out += " " + kiro::io::toUtf8(p.first + L"=" + p.second);
            }
            out += "\n";
        }
        return test::Outcome{out, ""};
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
