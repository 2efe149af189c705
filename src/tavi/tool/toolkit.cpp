// The tool event queue and the wake-up of the main window's loop.
#include "tavi/tool/toolkit.h"

#include <utility>

namespace tavi {

void IToolKit::raise(const EventMessage& event) {
    std::function<void()> wake;
    {
        std::lock_guard<std::mutex> hold(lock_);
        events_.push_back(event);
        wake = wake_;
    }
    if (wake) wake();
}

bool IToolKit::poll(EventMessage& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (events_.empty()) return false;
    out = std::move(events_.front());
    events_.pop_front();
    return true;
}

bool IToolKit::hasEvents() {
    std::lock_guard<std::mutex> hold(lock_);
    return !events_.empty();
}

void IToolKit::setWake(std::function<void()> wake) {
    std::lock_guard<std::mutex> hold(lock_);
    wake_ = std::move(wake);
}

}  // namespace tavi
