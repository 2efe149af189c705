// The process-wide named events, built once on first use (thread-safe local statics).
#include "tavi/events.h"

namespace tavi::events {

const EventMessage& unitWakeup() {
    static const EventMessage event{EventMessage::Named, L"unit_wakeup", {}};
    return event;
}
const EventMessage& unitDrag() {
    static const EventMessage event{EventMessage::Named, L"unit_drag", {}};
    return event;
}
const EventMessage& unitDrop() {
    static const EventMessage event{EventMessage::Named, L"unit_drop", {}};
    return event;
}
const EventMessage& toolAfk() {
    static const EventMessage event{EventMessage::Named, L"tool_afk", {}};
    return event;
}
const EventMessage& toolClockHoury() {
    static const EventMessage event{EventMessage::Named, L"tool_clock_houry", {}};
    return event;
}
const EventMessage& toolFeedReceived() {
    static const EventMessage event{EventMessage::Named, L"tool_feed_received", {}};
    return event;
}
const EventMessage& toolFeedDump() {
    static const EventMessage event{EventMessage::Named, L"tool_feed_dump", {}};
    return event;
}
const EventMessage& toolFeedEmpty() {
    static const EventMessage event{EventMessage::Named, L"tool_feed_empty", {}};
    return event;
}

}  // namespace tavi::events
