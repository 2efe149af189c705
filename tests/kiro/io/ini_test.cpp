// Settings files: the cases under tests/data/ini and tests/data/inivalue, and saving in order.
#include "kiro/io/ini.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace {

using kiro::io::Ini;
using kiro::io::toUtf8;
using tavi::test::readBytes;
using tavi::test::TempFolder;
using tavi::test::writeBytes;

TEST(Ini, CasesReadAsTheirFilesSayAndSavesInOrderWithoutEmptySections) {
    TempFolder tmp;
    tavi::test::runCases("ini", [&](const std::string& input) {
        writeBytes(tmp / L"case.config", input);
        const Ini ini(tmp / L"case.config");
        std::string lines;
        for (const auto& [name, section] : ini.sections())
            for (const auto& [key, value] : section.keys())
                lines += toUtf8(name + L"|" + key + L"|" + value.str() + L"|\n");
        return tavi::test::Outcome{lines, ""};
    });
    // Typed reads store their default only in an empty value.
    tavi::test::runCases("inivalue", [](const std::string& in) {
        const std::wstring text = kiro::io::fromUtf8(in);
        Ini::Value n(text), f(text), t(text), s(text);
        std::string out = "int " + std::to_string(n.getInt(15));
        out += " stored " + toUtf8(n.str()) + "\nbool-if-false " + (f.getBool(false) ? "true" : "false");
        out += std::string("\nbool-if-true ") + (t.getBool(true) ? "true" : "false") + "\nstring ";
        out += toUtf8(s.getString(L"def"));
        return tavi::test::Outcome{out + " stored " + toUtf8(s.str()), ""};
    });

    // Saving writes sections and keys in order and drops empty sections.
    const std::wstring path = tmp / L"app.state";
    writeBytes(path, "; old comment\nz=last\n[b]\nk2=2\nk1=1\n[a]\nx=\n");
    Ini ini(path);
    ini[L"empty"];  // looked up, never filled
    ini[L"a"][L"y"].setString(L"\u65E5");
    ini[L"b"][L"n"].setInt(-42);
    ini[L"b"][L"t"].setBool(true);
    ASSERT_TRUE(ini.save());
    EXPECT_EQ(readBytes(path), "z=last\n\n[a]\nx=\ny=\xE6\x97\xA5\n\n[b]\nk1=1\nk2=2\nn=-42\nt=true\n\n");
    // Saving elsewhere writes there; without any path there is nowhere to save.
    ASSERT_TRUE(ini.save(tmp / L"copy.state"));
    EXPECT_EQ(readBytes(tmp / L"copy.state"), readBytes(path));
    Ini pathless;
    pathless[L"s"][L"k"].setString(L"v");
    EXPECT_FALSE(pathless.save());
    ASSERT_TRUE(pathless.save(path));
    EXPECT_EQ(readBytes(path), "[s]\nk=v\n\n");
}

}  // namespace
