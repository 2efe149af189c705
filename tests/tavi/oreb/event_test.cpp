// The event table: both forms of an event, pooling, params and broken tables.
#include <gtest/gtest.h>

#include "support/tempfolder.h"
#include "tavi/oreb/event.h"

using tavi::EventMessage;
using tavi::Response;
using tavi::oreb::Event;
using tavi::oreb::ResponseSet;
using tavi::test::TempFolder;
using tavi::test::writeBytes;

namespace {

const char* const table = R"({
  "unit_drag": ["持ち上げないで", "わっ", "どこへ行くの"],
  "unit_drop": {"action": "surprised", "texts": ["着地！"]},
  "tool_clock_houry": {"action": "bow", "texts": ["%hour%時です（%note%）"]},
  "no_action": {"texts": ["静か"]},
  "bad_texts": {"action": "x", "texts": "一行"},
  "a_string": "一行",
  "a_number": 5,
  "mixed": ["ok", 3, null]
})";

kiro::LocalClock nine() {
    return [] {
        kiro::LocalTime t;
        t.hour = 9;
        t.minute = 5;
        return t;
    };
}

EventMessage named(const wchar_t* name) { return EventMessage{EventMessage::Named, name, {}}; }

class EventTable : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(dir / L"event.json", table); }
    TempFolder dir;
};

}  // namespace

TEST_F(EventTable, ArrayFormGivesEveryLineWithSpeak) {
    const Event event(dir / L"event.json");
    ResponseSet set(nine());
    event.collect(set, named(L"unit_drag"));
    ASSERT_EQ(set.candidates().size(), 3u);
    EXPECT_EQ(set.candidates()[0], (Response{L"持ち上げないで", L"speak"}));
    EXPECT_EQ(set.candidates()[1], (Response{L"わっ", L"speak"}));
    EXPECT_EQ(set.candidates()[2], (Response{L"どこへ行くの", L"speak"}));
}

TEST_F(EventTable, ObjectFormGivesItsActionAndDefaults) {
    const Event event(dir / L"event.json");
    ResponseSet set(nine());
    Response out;
    for (int i = 0; i < 20; ++i) {
        event.collect(set, named(L"unit_drop"));
        ASSERT_TRUE(set.take(out));
        EXPECT_EQ(out, (Response{L"着地！", L"surprised"}));
    }
    event.collect(set, named(L"no_action"));
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out, (Response{L"静か", L""}));

    // Values of other shapes add nothing; elements that are no string add an empty line.
    for (const wchar_t* name : {L"bad_texts", L"a_string", L"a_number", L"Unit_Drag", L"unit"}) {
        event.collect(set, named(name));
        EXPECT_TRUE(set.empty()) << std::wstring(name).size();
    }
    event.collect(set, named(L"mixed"));
    ASSERT_EQ(set.candidates().size(), 3u);
    EXPECT_EQ(set.candidates()[1], (Response{L"", L"speak"}));
}

TEST_F(EventTable, TwoEventsPoolTheirLinesAndOneTakeDropsTheRest) {
    const Event event(dir / L"event.json");
    ResponseSet set(nine());
    event.collect(set, named(L"unit_drag"));
    event.collect(set, named(L"unit_drop"));
    EXPECT_EQ(set.candidates().size(), 4u);
    EXPECT_EQ(set.candidates()[3].action, L"surprised");
    Response out;
    ASSERT_TRUE(set.take(out));
    EXPECT_TRUE(set.empty());
    EXPECT_FALSE(set.take(out));
}

TEST_F(EventTable, ParamsOutliveAnEventWithoutLines) {
    const Event event(dir / L"event.json");
    ResponseSet set(nine());
    EventMessage unlisted = named(L"tool_feed_received");
    unlisted.params[L"note"] = L"晴れ";
    event.collect(set, unlisted);
    Response out;
    EXPECT_FALSE(set.take(out));

    EventMessage clock = tavi::EventMessage{EventMessage::Named, L"tool_clock_houry", {}};
    clock.params[L"hour"] = L"23";
    event.collect(set, clock);
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out, (Response{L"9時です（晴れ）", L"bow"}));

    // An empty name neither adds lines nor merges params.
    EventMessage nameless;
    nameless.params[L"note"] = L"x";
    event.collect(set, nameless);
    EXPECT_TRUE(set.variables().empty());
}

TEST(EventTableFiles, MissingBrokenOrNonObjectTablesAreEmpty) {
    TempFolder dir;
    writeBytes(dir / L"broken.json", R"({"unit_drag": ["a", "b",]})");
    writeBytes(dir / L"array.json", R"([["unit_drag", "a"]])");
    for (const wchar_t* name : {L"missing.json", L"broken.json", L"array.json"}) {
        const Event event(dir / name);
        ResponseSet set;
        EventMessage drag{EventMessage::Named, L"unit_drag", {{L"k", L"v"}}};
        event.collect(set, drag);
        EXPECT_TRUE(set.empty());
        EXPECT_EQ(set.variables().at(L"k"), L"v");  // params are merged all the same
    }
}

TEST(EventTableFiles, TableSavedWithByteOrderMarkStillSpeaks) {
    TempFolder dir;
    writeBytes(dir / L"event.json", "\xEF\xBB\xBF{\"unit_wakeup\": [\"おはよう\"]}");
    const Event event(dir / L"event.json");
    ResponseSet set;
    event.collect(set, EventMessage{EventMessage::Named, L"unit_wakeup", {}});
    ASSERT_EQ(set.candidates().size(), 1u);
    EXPECT_EQ(set.candidates()[0].text, L"おはよう");
}
