// The away-from-keyboard tool: announces "tool_afk", then after a pause switches the monitor
// off (or, with the option "s", starts the screen saver) from a short-lived worker.
#pragma once

#include <chrono>
#include <functional>

#include "tavi/tool/monitor.h"
#include "tavi/tool/toolkit.h"

namespace tavi::tool {

class Afk : public IToolKit {
public:
    // Called on the worker with whether the screen saver was asked for.
    using MonitorCall = std::function<void(bool screenSaver)>;

    explicit Afk(MonitorCall call = monitorOff,
                 std::chrono::milliseconds delay = std::chrono::milliseconds(4000));
    void command(const Command& command) override;

private:
    MonitorCall call_;
    std::chrono::milliseconds delay_;
};

}  // namespace tavi::tool
