// The tool registry: the program's tools by name, their tick cadence and command routing.
#include "tavi/tool/registry.h"

#include <utility>

#include "tavi/tool/afk.h"
#include "tavi/tool/clock.h"
#include "tavi/tool/command.h"
#include "tavi/tool/memo.h"
#include "tavi/tool/rss.h"

namespace tavi::tool {

Registry::Registry(Empty, kiro::MillisClock clock) : clock_(std::move(clock)) {
    lastSecond_ = lastMinute_ = clock_();
}

Registry::Registry(kiro::ui::Window* owner, kiro::MillisClock clock,
                   kiro::LocalClock localClock)
    : Registry(Empty{}, std::move(clock)) {
    add(L"afk", std::make_unique<Afk>());
    add(L"clock", std::make_unique<Clock>(localClock));
    add(L"memo", std::make_unique<Memo>(owner, std::move(localClock)));
    add(L"rss", std::make_unique<Rss>(L"etc/rss-urls.txt"));
    lastSecond_ = lastMinute_ = clock_();
}

void Registry::add(const std::wstring& name, std::unique_ptr<IToolKit> tool) {
    tools_[name] = std::move(tool);
}

IToolKit* Registry::find(const std::wstring& name) const {
    auto it = tools_.find(name);
    return it == tools_.end() ? nullptr : it->second.get();
}

void Registry::tick() {
    const uint32_t now = clock_();
    const bool secondDue = static_cast<uint32_t>(now - lastSecond_) > 1000;
    const bool minuteDue = static_cast<uint32_t>(now - lastMinute_) > 60000;
    if (secondDue) lastSecond_ = now;
    if (minuteDue) lastMinute_ = now;
    for (auto& [name, tool] : tools_) {
        tool->tick();
        if (secondDue) tool->everySecond();
        if (minuteDue) tool->everyMinute();
    }
}

bool Registry::pollOne(EventMessage& out) {
    for (auto& [name, tool] : tools_) {
        if (tool->poll(out)) return true;
    }
    return false;
}

bool Registry::dispatch(const std::wstring& command) {
    const Command parsed(command);
    if (parsed.name.empty()) return false;
    IToolKit* tool = find(parsed.name);
    if (tool == nullptr) return false;
    tool->command(parsed);
    return true;
}

}  // namespace tavi::tool
