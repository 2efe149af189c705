// Settings files: the cases under tests/data/ini, typed reads that store their defaults, and
// saving in order.
#include "kiro/io/ini.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace {

using kiro::io::Ini;
using tavi::test::readBytes;
using tavi::test::TempFolder;
using tavi::test::writeBytes;

TEST(Ini, CasesReadAsTheirFilesSay) {
    TempFolder tmp;
    tavi::test::runCases("ini", [&](const std::string& input) {
        writeBytes(tmp / L"case.config", input);
        const Ini ini(tmp / L"case.config");
        std::string lines;
        for (const auto& [name, section] : ini.sections())
            for (const auto& [key, value] : section.keys())
                lines += kiro::io::toUtf8(name + L"|" + key + L"|" + value.str() + L"|\n");
        return tavi::test::Outcome{lines, ""};
    });
    EXPECT_TRUE(Ini(tmp / L"none.state").sections().empty());
}

TEST(Ini, TypedReadsStoreTheirDefaultOnlyWhenEmpty) {
    Ini::Value n, s, f, t;
    EXPECT_EQ(n.getInt(15), 15);
    EXPECT_EQ(n.getInt(99), 15);
    EXPECT_EQ(n.str(), L"15");
    EXPECT_EQ(s.getString(L"def"), L"def");
    EXPECT_EQ(s.getString(L"other"), L"def");
    EXPECT_FALSE(f.getBool(false));
    EXPECT_EQ(f.str(), L"false");
    EXPECT_TRUE(t.getBool(true));
    EXPECT_EQ(t.str(), L"true");
    const std::pair<const wchar_t*, int> ints[] = {{L"12pt", 12},
                                                   {L"pt12", 15},
                                                   {L"  -7", -7},
                                                   {L"+3", 3},
                                                   {L"2147483647", 2147483647},
                                                   {L"2147483648", 15},
                                                   {L"-2147483649", 15},
                                                   {L"99999999999999999999999", 15}};
    for (const auto& [text, want] : ints) EXPECT_EQ(Ini::Value(text).getInt(15), want) << kiro::io::toUtf8(text);
    Ini::Value bad(L"pt12");
    bad.getInt(15);
    EXPECT_EQ(bad.str(), L"pt12");  // an unreadable value is not replaced
    for (const wchar_t* yes : {L"1", L"true", L"-2x"}) EXPECT_TRUE(Ini::Value(yes).getBool(false));
    for (const wchar_t* no : {L"false", L"TRUE", L"0"}) EXPECT_FALSE(Ini::Value(no).getBool(true));
    n.setInt(-42);
    EXPECT_EQ(n.str(), L"-42");
    n.setBool(true);
    EXPECT_EQ(n.str(), L"true");
}

TEST(Ini, SaveWritesSectionsAndKeysInOrderAndDropsEmptySections) {
    TempFolder tmp;
    const std::wstring path = tmp / L"app.state";
    writeBytes(path, "; old comment\nz=last\n[b]\nk2=2\nk1=1\n[a]\nx=\n");
    Ini ini(path);
    ini[L"empty"];  // looked up, never filled
    ini[L"a"][L"y"].setString(L"\u65E5");
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readBytes(path), "z=last\n\n[a]\nx=\ny=\xE6\x97\xA5\n\n[b]\nk1=1\nk2=2\n\n");
    // Saving elsewhere creates the folder and leaves the stored path alone.
    ASSERT_TRUE(ini.save(tmp / L"sub/copy.state"));
    EXPECT_EQ(Ini(tmp / L"sub/copy.state")[L"a"][L"y"].str(), L"\u65E5");
    EXPECT_EQ(ini.path(), path);
    Ini pathless;
    pathless[L"s"][L"k"].setString(L"v");
    EXPECT_FALSE(pathless.save());
    writeBytes(path, "big=" + std::string(100000, 'q') + "\n");
    ASSERT_TRUE(pathless.save(path));
    EXPECT_EQ(readBytes(path), "[s]\nk=v\n\n");  // all of the longer file is replaced
}

}  // namespace
