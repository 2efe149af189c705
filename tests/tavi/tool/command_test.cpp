// Tests of the command parser.
#include "tavi/tool/command.h"

#include <gtest/gtest.h>

#include <cwchar>

using tavi::tool::Command;
using Args = std::vector<std::wstring>;

TEST(Command, NameAndFlagOption) {
    Command c(L"memo -new");
    EXPECT_EQ(c.text, L"memo -new");
    EXPECT_EQ(c.name, L"memo");
    EXPECT_TRUE(c.arguments.empty());
    ASSERT_EQ(c.options.size(), 1u);
    EXPECT_EQ(c.options.at(L"new"), L"true");
    EXPECT_TRUE(c.hasOption(L"new"));
    EXPECT_FALSE(c.hasOption(L"clear"));
    EXPECT_EQ(Command(L"afk").name, L"afk");
}

TEST(Command, OptionValuesAndReplacement) {
    Command c(L"tool -x:5 /slash -k: -a:1 -a:2 -url:http://e.com/a -:v");
    EXPECT_EQ(c.options.at(L"x"), L"5");
    EXPECT_EQ(c.options.at(L"slash"), L"true");
    EXPECT_EQ(c.options.at(L"k"), L"");
    EXPECT_EQ(c.options.at(L"a"), L"2");
    EXPECT_EQ(c.options.at(L"url"), L"http://e.com/a");  // only the first colon splits
    EXPECT_EQ(c.options.at(L""), L"v");
    EXPECT_EQ(c.options.size(), 6u);
    EXPECT_TRUE(c.arguments.empty());
    // A flag given again with a value takes the value.
    EXPECT_EQ(Command(L"t -s -s:off").options.at(L"s"), L"off");
}

TEST(Command, QuotedArgumentsKeepBlanks) {
    Command c(L"x \"a b\" c\t\t-o:\"p q\"  d\"e f\"g  ");
    EXPECT_EQ(c.name, L"x");
    EXPECT_EQ(c.arguments, (Args{L"a b", L"c", L"de fg"}));
    EXPECT_EQ(c.options.at(L"o"), L"p q");
    // A pair of quotes with nothing inside is an empty token, which ends the command.
    Command stop(L"x a \"\" b -o");
    EXPECT_EQ(stop.arguments, (Args{L"a"}));
    EXPECT_TRUE(stop.options.empty());
}

TEST(Command, StringsThatAreNoCommandLeaveEverythingEmpty) {
    for (const wchar_t* s : {L"", L" afk", L"1afk", L"afk2", L"af-k -s", L"afk\t-s", L"-s",
                             L"\"afk\"", L"caf\u00e9 x", L"\tafk"}) {
        Command c(s);
        EXPECT_TRUE(c.name.empty() && c.text.empty() && c.arguments.empty() && c.options.empty())
            << "input: [" << std::string(s, s + std::wcslen(s)) << "]";
    }
    // A blank right after the name is fine; anything after it is not checked.
    Command c(L"rss  -dump 2");
    EXPECT_EQ(c.name, L"rss");
    EXPECT_EQ(c.arguments, (Args{L"2"}));
    EXPECT_TRUE(c.hasOption(L"dump"));
}
