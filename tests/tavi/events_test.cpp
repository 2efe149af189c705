// The process-wide named events: exact names, kind 1, no params, one object each.
#include <gtest/gtest.h>

#include "tavi/events.h"

TEST(NamedEvents, ExactNamesKindAndNoParams) {
    using namespace tavi::events;
    const std::pair<const tavi::EventMessage*, const wchar_t*> all[] = {
        {&unitWakeup(), L"unit_wakeup"},           {&unitDrag(), L"unit_drag"},
        {&unitDrop(), L"unit_drop"},               {&toolAfk(), L"tool_afk"},
        {&toolClockHoury(), L"tool_clock_houry"},  {&toolFeedReceived(), L"tool_feed_received"},
        {&toolFeedDump(), L"tool_feed_dump"},      {&toolFeedEmpty(), L"tool_feed_empty"},
    };
    for (const auto& [event, name] : all) {
        EXPECT_EQ(event->name, name);
        EXPECT_EQ(event->kind, 1u);
        EXPECT_TRUE(event->params.empty());
    }
    EXPECT_EQ(&toolAfk(), &toolAfk());
}
