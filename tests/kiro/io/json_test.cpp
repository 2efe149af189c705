// The wide JSON parser and JSON files: the cases under tests/data/json and tests/data/jsonfile,
// then what the values themselves promise (neutral lookups, shared constants, order, output).
// That a failed parse gives null, and that bytes read as a file give what their decoded text
// gives, the fuzz target checks on every input.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

#include "kiro/io/charset/charset.h"
#include "kiro/io/json11/json11w.h"
#include "kiro/io/jsonfile.h"
#include "support/cases.h"
#include "support/tempfolder.h"

namespace {

using json11w::Json;
using kiro::io::toUtf8;
using tavi::test::Outcome;

Json parsed(const std::wstring& text) {
    std::wstring err;
    return Json::parse(text, err);
}

TEST(Json, CasesParseAndReadAsFilesAsTheirFilesSay) {
    tavi::test::runCases("json", [](const std::string& input) {
        std::wstring err = L"stale";
        const Json value = Json::parse(kiro::io::fromUtf8(input), err);
        // An array opening with a number lists its items' int values too.
        std::string out = toUtf8(value.dump());
        if (value[0].is_number()) {
            out += "\nint";
            for (const Json& n : value.array_items()) out += " " + std::to_string(n.int_value());
        }
        return Outcome{out, toUtf8(err)};
    });
    // Files are read with detection and give null on any failure.
    tavi::test::TempFolder dir;
    tavi::test::runCases("jsonfile", [&](const std::string& input) {
        tavi::test::writeBytes(dir / L"case.json", input);
        const kiro::io::JsonFile file(dir / L"case.json");
        if (file.failed() && !file.root().is_null()) return Outcome{"", "not null"};
        return Outcome{toUtf8(file.root().dump()), toUtf8(file.error())};
    });
    const kiro::io::JsonFile missing(dir / L"none.json");
    EXPECT_TRUE(missing.root().is_null() && !missing.failed());
    EXPECT_TRUE(missing[L"key"][L"deeper"].array_items().empty());
}

TEST(Json, NumbersIgnoreTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    bool comma = false;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de-DE", "German"})
        if (!comma && std::setlocale(LC_NUMERIC, name)) comma = std::localeconv()->decimal_point[0] == ',';
    std::wstring err;
    const double value = Json::parse(L"[2.75]", err)[0].number_value();
    const std::wstring out = Json(0.5).dump();
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!comma) GTEST_SKIP() << "no decimal-comma locale installed";
    EXPECT_EQ(value, 2.75);
    EXPECT_EQ(out, L"0.5");
}

TEST(Json, WrongTypesAndMissesGiveNeutralValuesAndValuesCompareNumericallyThenByType) {
    const Json obj = parsed(L"{\"s\":\"text\",\"n\":4,\"a\":[1,2],\"o\":{\"k\":true}}");
    for (const Json* miss : {&obj[L"missing"], &obj[L"a"][2], &obj[L"a"][size_t(-1)], &obj[L"s"][L"k"], &obj[L"s"][0],
                             &obj[0], &obj[L"missing"][L"deeper"][3]})
        EXPECT_EQ(miss, &Json()[0]);  // one shared null
    EXPECT_TRUE(obj[L"a"].object_items().empty() && obj[L"o"].array_items().empty() && obj[L"s"].array_items().empty());
    EXPECT_EQ(obj[L"n"].string_value() + std::to_wstring(obj[L"s"].number_value() + obj[L"s"].int_value()),
              L"0.000000");
    EXPECT_TRUE(!obj[L"n"].bool_value() && obj[L"o"][L"k"].bool_value());

    // Numbers made in code: NaN has no int value and no JSON spelling.
    EXPECT_EQ(Json(std::nan("")).int_value(), 0);
    EXPECT_EQ(Json(std::nan("")).dump(), L"null");
    for (int n : {-1, 1024, -2147483647 - 1, 2147483647}) EXPECT_EQ(Json(n).number_value(), double(n));
    EXPECT_TRUE(Json(2) == Json(2.0) && Json(2) < Json(2.5) && Json(1.5) < Json(2) && Json(1) != Json(L"1"));
    EXPECT_TRUE(Json() < Json(0) && Json(99) < Json(false) && Json(L"z") < Json(Json::array{}) &&
                Json(Json::array{}) < Json(Json::object{}));
    EXPECT_EQ(parsed(L"{\"a\":[1,{\"b\":null}]}"), parsed(L" { \"a\" : [ 1.0 , { \"b\" : null } ] } "));
    EXPECT_NE(parsed(L"[1,2]"), parsed(L"[2,1]"));
    // Parsed strings and arrays against ones made in code, both ways round.
    EXPECT_EQ(parsed(L"[\"a\",[1]]"), Json(Json::array{Json(L"a"), Json(Json::array{Json(1)})}));
    EXPECT_TRUE(Json(L"a") < parsed(L"\"b\"") && parsed(L"[1]") < Json(Json::array{Json(2)}) &&
                Json(L"b") > parsed(L"\"a\""));
}

}  // namespace
