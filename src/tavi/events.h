// The process-wide named events (kind 1, no params) that units, bodies and tools raise.
// An emitter posts the constant itself or a copy with params added.
#pragma once

#include "tavi/eventmessage.h"

namespace tavi::events {

// Built once on first use; safe to call from any thread.
const EventMessage& unitWakeup();        // "unit_wakeup"
const EventMessage& unitDrag();          // "unit_drag"
const EventMessage& unitDrop();          // "unit_drop"
const EventMessage& toolAfk();           // "tool_afk"
const EventMessage& toolClockHoury();    // "tool_clock_houry" (params "hour", "minute")
const EventMessage& toolFeedReceived();  // "tool_feed_received"
const EventMessage& toolFeedDump();      // "tool_feed_dump"
const EventMessage& toolFeedEmpty();     // "tool_feed_empty"

}  // namespace tavi::events
