// The tool event queue.
#include "tavi/tool/toolkit.h"

namespace tavi {

void IToolKit::raise(const EventMessage& event) {
    std::lock_guard<std::mutex> hold(lock_);
    events_.push_back(event);
}

bool IToolKit::poll(EventMessage& out) {
    std::lock_guard<std::mutex> hold(lock_);
    if (events_.empty()) return false;
    out = std::move(events_.front());
    events_.pop_front();
    return true;
}

}  // namespace tavi
