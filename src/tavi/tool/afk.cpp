// The away-from-keyboard tool. The worker is detached and gets copies of all it needs, so it
// may outlive the tool; it ends by itself after the monitor call.
#include "tavi/tool/afk.h"

#include <thread>
#include <utility>

#include "tavi/events.h"

namespace tavi::tool {

Afk::Afk(MonitorCall call, std::chrono::milliseconds delay) : call_(std::move(call)), delay_(delay) {}

void Afk::command(const Command& command) {
    // The characters get their say before the screen goes dark.
    raise(events::toolAfk());
    const bool screenSaver = command.hasOption(L"s");
    std::thread([call = call_, delay = delay_, screenSaver] {
        std::this_thread::sleep_for(delay);
        if (call) call(screenSaver);
    }).detach();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

}  // namespace tavi::tool
