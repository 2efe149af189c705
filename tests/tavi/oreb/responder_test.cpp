// The response table: one drawn line per situation, its variables and empty entries.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "support/tempfolder.h"
#include "tavi/oreb/responder.h"

using tavi::Response;
using tavi::oreb::Relatives;
using tavi::oreb::Responder;
using tavi::oreb::ResponseSet;
using tavi::test::TempFolder;
using tavi::test::writeBytes;

namespace {

const char* const table = R"({
  "boredom": {"action": "yawn", "texts": ["ひまだなあ", "ねむい", "ふああ", "……"]},
  "unknown": {"action": "tilt", "texts": ["%keyword%って何？"]},
  "through": {"texts": ["ふうん%keyword%"]},
  "related_noun": {"action": "nod", "texts": ["%keyword%といえば%noun%"]},
  "related_adjective": {"action": "smile", "texts": ["%keyword%は%adj%"]}
})";

class ResponseTable : public ::testing::Test {
protected:
    void SetUp() override { writeBytes(dir / L"response.json", table); }
    TempFolder dir;
};

kiro::LocalClock noon() {
    return [] {
        kiro::LocalTime t;
        t.hour = 12;
        return t;
    };
}

}  // namespace

TEST_F(ResponseTable, BoredomAddsExactlyOneLineDrawnUniformly) {
    const Responder responder(dir / L"response.json");
    ResponseSet set(noon());
    responder.boredom(set);
    ASSERT_EQ(set.candidates().size(), 1u);
    EXPECT_EQ(set.candidates()[0].action, L"yawn");

    std::map<std::wstring, int> counts;
    const int draws = 40000;
    Response out;
    for (int i = 0; i < draws; ++i) {
        ResponseSet one(noon());
        responder.boredom(one);
        ASSERT_TRUE(one.take(out));
        ++counts[out.text];
    }
    ASSERT_EQ(counts.size(), 4u);
    for (const auto& [text, count] : counts) EXPECT_NEAR(double(count) / draws, 0.25, 0.02);
}

TEST_F(ResponseTable, KeywordLinesAndRelatedDrawsOneNounAndOneAdjective) {
    const Responder responder(dir / L"response.json");
    ResponseSet set(noon());
    const Relatives both{{L"海", L"山"}, {L"青い"}};
    responder.related(set, L"夏", both);
    ASSERT_EQ(set.candidates().size(), 2u);
    EXPECT_EQ(set.candidates()[0].action, L"nod");
    EXPECT_EQ(set.candidates()[1].action, L"smile");
    EXPECT_EQ(set.variables().at(L"adj"), L"青い");

    std::set<std::wstring> seen;
    Response out;
    for (int i = 0; i < 200; ++i) {
        ResponseSet one(noon());
        responder.related(one, L"夏", Relatives{both.nouns, {}});
        ASSERT_EQ(one.candidates().size(), 1u);
        ASSERT_TRUE(one.take(out));
        seen.insert(out.text);
    }
    EXPECT_EQ(seen, (std::set<std::wstring>{L"夏といえば海", L"夏といえば山"}));

    ResponseSet none(noon());
    responder.related(none, L"夏", Relatives{});
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(none.variables().at(L"keyword"), L"夏");

    ResponseSet keyed(noon());
    responder.unknown(keyed, L"量子");
    ASSERT_TRUE(keyed.take(out));
    EXPECT_EQ(out, (Response{L"量子って何？", L"tilt"}));
    // No keyword found: the placeholder becomes nothing.
    responder.through(keyed, L"");
    ASSERT_TRUE(keyed.take(out));
    EXPECT_EQ(out, (Response{L"ふうん", L""}));
}

TEST(ResponseTableFiles, EmptyTextsOrMissingTableMeanSilence) {
    TempFolder dir;
    writeBytes(dir / L"quiet.json", R"({"boredom": {"action": "yawn", "texts": []}})");
    writeBytes(dir / L"odd.json", R"({"boredom": {"texts": "ひま"}, "unknown": ["a"]})");
    for (const wchar_t* name : {L"quiet.json", L"odd.json", L"missing.json"}) {
        const Responder responder(dir / name);
        ResponseSet set;
        responder.boredom(set);
        responder.unknown(set, L"k");
        EXPECT_TRUE(set.empty());
        Response out;
        EXPECT_FALSE(set.take(out));
    }
}
