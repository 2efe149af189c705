// Drawing from a response set: uniform choice, placeholders and emptying.
#include <gtest/gtest.h>

#include "tavi/oreb/responseset.h"

using tavi::Response;
using tavi::oreb::ResponseSet;

namespace {

kiro::LocalClock at(int hour, int minute, int second) {
    return [=] {
        kiro::LocalTime t;
        t.hour = hour;
        t.minute = minute;
        t.second = second;
        return t;
    };
}

}  // namespace

TEST(ResponseSet, EmptySetTakesNothingAndKeepsVariables) {
    ResponseSet set(at(9, 5, 0));
    set.set(L"weather", L"雨");
    Response out{L"untouched", L"idle"};
    EXPECT_TRUE(set.empty());
    EXPECT_FALSE(set.take(out));
    EXPECT_EQ(out, (Response{L"untouched", L"idle"}));
    EXPECT_EQ(set.variables().at(L"weather"), L"雨");

    set.add(L"今日は%weather%", L"speak");
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out, (Response{L"今日は雨", L"speak"}));
    // A take empties both the candidates and the variables.
    EXPECT_TRUE(set.empty());
    EXPECT_TRUE(set.variables().empty());
    set.add(L"%weather%", L"");
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out.text, L"%weather%");
}

TEST(ResponseSet, TimePlaceholdersWithoutLeadingZeros) {
    ResponseSet set(at(9, 5, 7));
    set.set(L"hour", L"23");  // the time of day wins over an event param
    set.add(L"%hour%:%minute%:%second% %hour%%minute%", L"%hour%");
    Response out;
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out.text, L"9:5:7 95");
    EXPECT_EQ(out.action, L"%hour%");  // the action is never filled

    ResponseSet midnight(at(0, 0, 59));
    midnight.add(L"%hour%時%minute%分%second%秒", L"");
    ASSERT_TRUE(midnight.take(out));
    EXPECT_EQ(out.text, L"0時0分59秒");
}

TEST(ResponseSet, UnknownPlaceholdersStrayPercentsAndInsertedValuesStay) {
    ResponseSet set(at(12, 30, 0));
    set.add(L"%weather% 100% %hour %% %hour%% %", L"");
    Response out;
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out.text, L"%weather% 100% %hour %% 12% %");

    // An inserted value is never rescanned.
    set.set(L"keyword", L"%keyword%");
    set.add(L"[%keyword%]%keyword%", L"");
    ASSERT_TRUE(set.take(out));
    EXPECT_EQ(out.text, L"[%keyword%]%keyword%");

    // A value that grows the text around a following placeholder.
    std::wstring text = L"%k%-%k%";
    ResponseSet::substitute(text, L"k", L"%k%%k%");
    EXPECT_EQ(text, L"%k%%k%-%k%%k%");
    text = L"a%k%b";
    ResponseSet::substitute(text, L"k", L"");
    EXPECT_EQ(text, L"ab");
}

TEST(ResponseSet, DrawsUniformly) {
    // Each of three lines about a third of the time; 30000 draws keep a binomial spread
    // of 0.003, far inside the fixed tolerance.
    const int draws = 30000;
    int counts[3] = {0, 0, 0};
    ResponseSet set(at(0, 0, 0));
    Response out;
    for (int i = 0; i < draws; ++i) {
        set.add(L"0", L"");
        set.add(L"1", L"");
        set.add(L"2", L"");
        ASSERT_TRUE(set.take(out));
        ++counts[out.text[0] - L'0'];
    }
    for (int c : counts) EXPECT_NEAR(double(c) / draws, 1.0 / 3, 0.02);
}
