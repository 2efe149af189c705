// Settings files: the line grammar, typed reads that store their defaults, and saving.
#include "kiro/io/ini.h"

#include <gtest/gtest.h>

#include "support/tempfolder.h"

namespace {

using kiro::io::Ini;
using tavi::test::TempFolder;
using tavi::test::readBytes;
using tavi::test::writeBytes;

TEST(Ini, ReadsLinesAsWritten) {
    TempFolder tmp;
    writeBytes(tmp / L"a.config",
               "top=1\r\n"
               "; comment=no\r\n"
               "# also=no\r\n"
               "font_size = 20\r\n"
               "url=http://x/?a=b&c=d\r\n"
               "[win]\r\n"
               "x=1\r\n"
               "x=2\r\n"
               "no equals sign\r\n"
               "[broken\r\n"
               "still_win=yes\r\n"
               "[]\r\n"
               "back=top\r\n"
               "[other] trailing text\r\n"
               "empty=\r\n"
               " spaced = v \r\n");
    Ini ini(tmp / L"a.config");
    Ini::Section& top = ini[L""];
    EXPECT_EQ(top[L"top"].str(), L"1");
    EXPECT_EQ(top[L"back"].str(), L"top");
    EXPECT_EQ(top[L"url"].str(), L"http://x/?a=b&c=d");
    EXPECT_EQ(top[L"font_size "].str(), L" 20");
    EXPECT_EQ(top[L"font_size"].getInt(15), 15);
    EXPECT_EQ(top.keys().count(L"; comment"), 0u);
    EXPECT_EQ(top.keys().count(L"# also"), 0u);
    EXPECT_EQ(ini[L"win"][L"x"].str(), L"2");
    EXPECT_EQ(ini[L"win"][L"still_win"].str(), L"yes");
    EXPECT_EQ(ini[L"other"][L"empty"].str(), L"");
    EXPECT_EQ(ini[L"other"][L" spaced "].str(), L" v ");
    EXPECT_EQ(ini.sections().count(L"broken"), 0u);
}

TEST(Ini, MissingFileHasNoSectionsAndByteOrderMarkIsNotPartOfTheFirstKey) {
    TempFolder tmp;
    EXPECT_TRUE(Ini(tmp / L"none.state").sections().empty());
    writeBytes(tmp / L"bom.config", "\xEF\xBB\xBF[s]\nk=v\n");
    Ini ini(tmp / L"bom.config");
    EXPECT_EQ(ini[L"s"][L"k"].str(), L"v");
    writeBytes(tmp / L"sjis.config", "name=\x82\xa0\x82\xa2\n");
    EXPECT_EQ(Ini(tmp / L"sjis.config")[L""][L"name"].str(), L"\u3042\u3044");
}

TEST(IniValue, TypedReadsStoreDefaultsOnlyWhenEmpty) {
    Ini::Value v;
    EXPECT_EQ(v.getInt(15), 15);
    EXPECT_EQ(v.str(), L"15");
    EXPECT_EQ(v.getInt(99), 15);

    Ini::Value s;
    EXPECT_EQ(s.getString(L"def"), L"def");
    EXPECT_EQ(s.str(), L"def");
    EXPECT_EQ(s.getString(L"other"), L"def");

    Ini::Value b, bt;
    EXPECT_FALSE(b.getBool(false));
    EXPECT_EQ(b.str(), L"false");
    EXPECT_TRUE(bt.getBool(true));
    EXPECT_EQ(bt.str(), L"true");

    const std::pair<const wchar_t*, int> ints[] = {
        {L"12pt", 12}, {L"pt12", 15}, {L"  -7", -7}, {L"+3", 3}, {L"2147483647", 2147483647},
        {L"2147483648", 15}, {L"-2147483649", 15}, {L"99999999999999999999999", 15}};
    for (const auto& [text, want] : ints) EXPECT_EQ(Ini::Value(text).getInt(15), want) << text;
    Ini::Value bad(L"pt12");
    bad.getInt(15);
    EXPECT_EQ(bad.str(), L"pt12");  // an unreadable value is not replaced

    for (const wchar_t* yes : {L"1", L"true", L"-2x"}) EXPECT_TRUE(Ini::Value(yes).getBool(false)) << yes;
    for (const wchar_t* no : {L"false", L"TRUE", L"0"}) EXPECT_FALSE(Ini::Value(no).getBool(true)) << no;

    Ini::Value w;
    w.setInt(-42);
    EXPECT_EQ(w.str(), L"-42");
    w.setBool(true);
    EXPECT_EQ(w.str(), L"true");
}

TEST(Ini, SaveWritesSectionsAndKeysInOrderAndDropsEmptySections) {
    TempFolder tmp;
    const std::wstring path = tmp / L"app.state";
    writeBytes(path, "; old comment\nz=last\n[b]\nk2=2\nk1=1\n[a]\nx=\n");
    Ini ini(path);
    ini[L"empty"];                            // looked up, never filled
    ini[L"a"][L"y"].setString(L"\u65E5");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readBytes(path), "z=last\n\n[a]\nx=\ny=\xE6\x97\xA5\n\n[b]\nk1=1\nk2=2\n\n");

    // Saving elsewhere leaves the stored path alone; reading back gives the same content.
    ASSERT_TRUE(ini.save(tmp / L"sub/copy.state"));
    Ini copy(tmp / L"sub/copy.state");
    EXPECT_EQ(copy[L"a"][L"y"].str(), L"\u65E5");
    EXPECT_EQ(copy[L"b"][L"k2"].str(), L"2");
    EXPECT_EQ(ini.path(), path);

    Ini pathless;
    pathless[L"s"][L"k"].setString(L"v");
    EXPECT_FALSE(pathless.save());
    // Saving over a longer file replaces all of it.
    writeBytes(path, "big=" + std::string(100000, 'q') + "\n");
    ASSERT_TRUE(pathless.save(path));
    EXPECT_EQ(readBytes(path), "[s]\nk=v\n\n");
}

}  // namespace
