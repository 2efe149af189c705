// A brain's tables: the event table and the response table (their cases under tests/data/event
// and tests/data/response), and drawing one line from a set with its placeholders filled.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/tempfolder.h"
#include "tavi/oreb/event.h"
#include "tavi/oreb/responder.h"

namespace tavi::oreb {
namespace {

using test::TempFolder;
using test::writeBytes;

kiro::LocalClock at(int hour, int minute, int second) {
    return [=] { return kiro::LocalTime{0, 0, 0, hour, minute, second, 0}; };
}

// The candidates of a set as "text|action;", and the texts that many draws of a fill give.
std::wstring candidates(const ResponseSet& set) {
    std::wstring out;
    for (const Response& r : set.candidates()) out += r.text + L"|" + r.action + L";";
    return out;
}
std::set<std::wstring> draws(const std::function<void(ResponseSet&)>& fill) {
    std::set<std::wstring> texts;
    for (int i = 0; i < 100; ++i) {
        ResponseSet set(at(12, 0, 0));
        fill(set);
        Response out;
        if (set.take(out)) texts.insert(out.text);
        EXPECT_TRUE(set.empty() && set.variables().empty());  // a take empties the set
    }
    return texts;
}

TEST(EventTable, CasesCollectAsTheirFilesSayAndParamsAreMergedAllTheSame) {
    TempFolder dir;
    test::runCases("event", [&](const std::string& input) {
        writeBytes(dir / L"event.json", input);
        const Event event(dir / L"event.json");
        ResponseSet set;
        for (const wchar_t* name : {L"unit_drag", L"unit_drop", L"no_action", L"mixed", L"bad_texts", L"a_string",
                                    L"a_number", L"Unit_Drag", L"unit"})
            event.collect(set, EventMessage{EventMessage::Named, name, {{L"k", L"v"}}});
        return test::Outcome{kiro::io::toUtf8(candidates(set)), set.variables().count(L"k") ? "" : "params lost"};
    });
    // (A broken table leaves the params all the same.) An event without a name brings nothing.
    ResponseSet set;
    Event(dir / L"event.json").collect(set, EventMessage{EventMessage::Named, L"", {{L"k", L"v"}}});
    EXPECT_TRUE(set.empty() && set.variables().empty());
}

TEST(ResponseTable, EachSituationAddsOneDrawnLineAsTheCaseFilesSayAndTheSetFillsItsPlaceholders) {
    TempFolder dir;
    test::runCases("response", [&](const std::string& input) {
        writeBytes(dir / L"response.json", input);
        const Responder r(dir / L"response.json");
        ResponseSet set;
        r.unknown(set, L"量子");
        r.through(set, L"");
        r.related(set, L"夏", Relatives{{L"海"}, {L"青い"}});
        r.related(set, L"夏", Relatives{});
        r.boredom(set);
        return test::Outcome{kiro::io::toUtf8(candidates(set)), ""};
    });
    writeBytes(dir / L"response.json", R"({"boredom": {"texts": ["ひま", "ねむい"]},
                                           "related_noun": {"texts": ["%keyword%といえば%noun%"]}})");
    const Responder r(dir / L"response.json");
    EXPECT_EQ(draws([&](ResponseSet& s) { r.boredom(s); }), (std::set<std::wstring>{L"ひま", L"ねむい"}));
    EXPECT_EQ(draws([&](ResponseSet& s) {
                  r.related(s, L"夏", Relatives{{L"海", L"山"}, {}});
              }),
              (std::set<std::wstring>{L"夏といえば海", L"夏といえば山"}));

    // A set takes nothing when empty, and fills placeholders once, without leading zeros.
    ResponseSet set(at(0, 5, 59));  // the first hour of the day
    set.set(L"weather", L"雨");
    Response out{L"untouched", L"idle"};
    EXPECT_FALSE(set.take(out));
    EXPECT_EQ(out, (Response{L"untouched", L"idle"}));
    EXPECT_EQ(set.variables().at(L"weather"), L"雨");
    set.set(L"hour", L"23");  // the time of day wins over a param
    set.set(L"keyword", L"%keyword%");
    set.add(L"%weather% %hour%:%minute%:%second% %hour%%minute% [%keyword%] 100% %hour %% %unknown% %", L"%hour%");
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out.text, L"雨 0:5:59 05 [%keyword%] 100% %hour %% %unknown% %");  // inserted values are not rescanned
    EXPECT_EQ(out.action, L"%hour%");                                            // the action is never filled
    std::wstring text = L"%k%-%k%";
    ResponseSet::substitute(text, L"k", L"%k%%k%");
    EXPECT_EQ(text, L"%k%%k%-%k%%k%");
    EXPECT_EQ(draws([](ResponseSet& s) { s.add(L"0", L""), s.add(L"1", L""), s.add(L"2", L""); }),
              (std::set<std::wstring>{L"0", L"1", L"2"}));
}

}  // namespace
}  // namespace tavi::oreb
