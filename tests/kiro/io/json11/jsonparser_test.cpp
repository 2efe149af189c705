// The wide JSON parser: every error message, numbers, strings, escapes and the nesting limit.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

#include "kiro/io/json11/json11w.h"

using json11w::Json;

namespace {

// The error message of a text that must not parse; the value must then be null.
std::wstring errorOf(const std::wstring& text) {
    std::wstring err;
    Json value = Json::parse(text, err);
    EXPECT_TRUE(value.is_null());
    return err;
}

Json parseOk(const std::wstring& text) {
    std::wstring err;
    Json value = Json::parse(text, err);
    EXPECT_EQ(err, L"");
    return value;
}

std::wstring nested(int depth) { return std::wstring(depth, L'[') + std::wstring(depth, L']'); }

}  // namespace

TEST(JsonParser, StructureErrors) {
    EXPECT_EQ(errorOf(L"1 2"), L"unexpected trailing '2' (50)");
    EXPECT_EQ(errorOf(L"{} x"), L"unexpected trailing 'x' (120)");
    EXPECT_EQ(errorOf(L""), L"unexpected end of input");
    EXPECT_EQ(errorOf(L"  \r\n\t"), L"unexpected end of input");
    EXPECT_EQ(errorOf(L"[1,"), L"unexpected end of input");
    EXPECT_EQ(errorOf(L"{\"a\":1"), L"unexpected end of input");
    EXPECT_EQ(errorOf(L"[1,]"), L"expected value, got ']' (93)");
    EXPECT_EQ(errorOf(L"/* no comments */ 1"), L"expected value, got '/' (47)");
    EXPECT_EQ(errorOf(L"\uFEFF{}"), L"expected value, got (65279)");
    EXPECT_EQ(errorOf(L"[1 2]"), L"expected ',' in list, got '2' (50)");
    EXPECT_EQ(errorOf(L"{\"a\":1,}"), L"expected '\"' in t_object, got '}' (125)");
    EXPECT_EQ(errorOf(L"{a:1}"), L"expected '\"' in t_object, got 'a' (97)");
    EXPECT_EQ(errorOf(L"{\"a\" 1}"), L"expected ':' in t_object, got '1' (49)");
    EXPECT_EQ(errorOf(L"{\"a\":1 \"b\":2}"), L"expected ',' in t_object, got '\"' (34)");
    EXPECT_EQ(errorOf(L"[あ]"), L"expected value, got (12354)");
    // The first error wins even though the caller steps then see a zero token.
    EXPECT_EQ(errorOf(L"[[[\"a\\q\"]]]"), L"invalid escape character 'q' (113)");
}

TEST(JsonParser, LiteralErrors) {
    EXPECT_EQ(errorOf(L"tru"), L"parse error: expected true, got tru");
    EXPECT_EQ(errorOf(L"[truE]"), L"parse error: expected true, got truE");
    EXPECT_EQ(errorOf(L"fals"), L"parse error: expected false, got fals");
    EXPECT_EQ(errorOf(L"nul1"), L"parse error: expected null, got nul1");
    EXPECT_EQ(errorOf(L"trueX"), L"unexpected trailing 'X' (88)");
    EXPECT_TRUE(parseOk(L"[true,false,null]")[0].bool_value());
}

TEST(JsonParser, StringErrors) {
    EXPECT_EQ(errorOf(L"\"abc"), L"unexpected end of input in Json::t_string");
    EXPECT_EQ(errorOf(L"\"abc\\"), L"unexpected end of input in Json::t_string");
    EXPECT_EQ(errorOf(L"\"a\tb\""), L"unescaped (9) in Json::t_string");
    EXPECT_EQ(errorOf(std::wstring(L"\"a\0b\"", 5)), L"unescaped (0) in Json::t_string");
    EXPECT_EQ(errorOf(L"\"\\x\""), L"invalid escape character 'x' (120)");
    EXPECT_EQ(errorOf(L"\"\\あ\""), L"invalid escape character (12354)");
    EXPECT_EQ(errorOf(L"\"\\u12G4\""), L"bad \\u escape: 12G4");
    EXPECT_EQ(errorOf(L"\"\\u12"), L"bad \\u escape: 12");
    EXPECT_EQ(errorOf(L"\"\\u"), L"bad \\u escape: ");
}

TEST(JsonParser, NumberErrors) {
    EXPECT_EQ(errorOf(L"01"), L"leading 0s not permitted in numbers");
    EXPECT_EQ(errorOf(L"[-01]"), L"leading 0s not permitted in numbers");
    EXPECT_EQ(errorOf(L"-"), L"invalid (0) in number");
    EXPECT_EQ(errorOf(L"-a"), L"invalid 'a' (97) in number");
    EXPECT_EQ(errorOf(L"1."), L"at least one digit required in fractional part");
    EXPECT_EQ(errorOf(L"1.e5"), L"at least one digit required in fractional part");
    EXPECT_EQ(errorOf(L"1e+"), L"at least one digit required in exponent");
    EXPECT_EQ(errorOf(L"1E"), L"at least one digit required in exponent");
    EXPECT_EQ(errorOf(L"+1"), L"expected value, got '+' (43)");
    EXPECT_EQ(errorOf(L".5"), L"expected value, got '.' (46)");
}

TEST(JsonParser, IntegerAndDoubleBoundary) {
    // Up to nine characters (sign included) without fraction or exponent: an int.
    const Json small = parseOk(L"123456789");
    EXPECT_EQ(small.int_value(), 123456789);
    EXPECT_EQ(small.dump(), L"123456789");
    const Json ten = parseOk(L"1234567890");
    const Json negTen = parseOk(L"-123456789");
    EXPECT_EQ(ten.type(), Json::NUMBER);
    EXPECT_EQ(ten.number_value(), 1234567890.0);
    EXPECT_EQ(negTen.number_value(), -123456789.0);
    EXPECT_EQ(negTen.int_value(), -123456789);
    // The double class truncates: only a double of 2.5 ever gives int 2 from "2.5".
    EXPECT_EQ(parseOk(L"2.5").number_value(), 2.5);
    EXPECT_EQ(parseOk(L"-0").int_value(), 0);
    EXPECT_EQ(parseOk(L"0").number_value(), 0.0);
    EXPECT_EQ(parseOk(L"1e2").number_value(), 100.0);
    EXPECT_EQ(parseOk(L"-2.5E-1").number_value(), -0.25);
    EXPECT_EQ(parseOk(L"12345678901234567890").number_value(), 12345678901234567890.0);
    // Beyond the double range, as the standard conversion: infinity or zero.
    EXPECT_EQ(parseOk(L"1e999").number_value(), HUGE_VAL);
    EXPECT_EQ(parseOk(L"-1e999").number_value(), -HUGE_VAL);
    EXPECT_EQ(parseOk(L"1e-999").number_value(), 0.0);
    EXPECT_EQ(parseOk(L"0.000001e-400").number_value(), 0.0);
    EXPECT_EQ(parseOk(L"100000e-320").number_value(), 1e-315);  // subnormal, not zero
    EXPECT_EQ(parseOk(L"0.001e310").number_value(), 1e307);
    // White space around a top-level value is fine.
    EXPECT_EQ(parseOk(L" \t\r\n42 \n").int_value(), 42);
}

TEST(JsonParser, NumbersIgnoreTheLocale) {
    // A decimal-comma locale must not change how a table reads.
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    bool set = false;
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de-DE", "German"})
        if (!set && std::setlocale(LC_NUMERIC, name)) set = std::localeconv()->decimal_point[0] == ',';
    if (!set) {
        std::setlocale(LC_NUMERIC, saved.c_str());
        GTEST_SKIP() << "no decimal-comma locale installed";
    }
    const double value = parseOk(L"[2.75]")[0].number_value();
    const std::wstring out = Json(0.5).dump();
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(value, 2.75);
    EXPECT_EQ(out, L"0.5");
}

TEST(JsonParser, StringsAndEscapes) {
    EXPECT_EQ(parseOk(L"\"\\b\\f\\n\\r\\t\\\"\\\\\\/\"").string_value(), L"\b\f\n\r\t\"\\/");
    EXPECT_EQ(parseOk(L"\"\\u3042\"").string_value(), L"あ");
    EXPECT_EQ(parseOk(L"\"\\u00e9\\u00C9\"").string_value(), L"éÉ");
    EXPECT_EQ(parseOk(L"\"あいう\"").string_value(), L"あいう");
    EXPECT_EQ(parseOk(L"\"\\u0000x\"").string_value(), std::wstring(L"\0x", 2));
    EXPECT_EQ(parseOk(L"\"\"").string_value(), L"");
    // A surrogate pair is one supplementary character (one unit or two, by wchar_t size).
    EXPECT_EQ(parseOk(L"\"\\ud83d\\ude00!\"").string_value(), L"\U0001F600!");
    EXPECT_EQ(parseOk(L"\"\\uD83D\\uDE00\"").string_value(), L"\U0001F600");
    // A lone surrogate escape stays the code unit it names.
    EXPECT_EQ(parseOk(L"\"\\ud800\"").string_value(), std::wstring(1, wchar_t(0xD800)));
    EXPECT_EQ(parseOk(L"\"\\udc00a\"").string_value(), std::wstring({wchar_t(0xDC00), L'a'}));
    if (sizeof(wchar_t) == 4) {
        // Two highs then a low: the first high stays alone, the second pairs.
        const std::wstring s = parseOk(L"\"\\ud800\\ud83d\\ude00\"").string_value();
        EXPECT_EQ(s, std::wstring({wchar_t(0xD800), wchar_t(0x1F600)}));
    }
    // Keys are wide too; a repeated key keeps the later value.
    const Json obj = parseOk(L"{\"名前\":1,\"a\":1,\"a\":2}");
    EXPECT_EQ(obj[L"名前"].int_value(), 1);
    EXPECT_EQ(obj[L"a"].int_value(), 2);
    EXPECT_EQ(obj.object_items().size(), 2u);
}

TEST(JsonParser, NestingLimit) {
    std::wstring err;
    EXPECT_TRUE(Json::parse(nested(201), err).is_array());
    EXPECT_EQ(err, L"");
    EXPECT_EQ(errorOf(nested(202)), L"exceeded maximum nesting depth");
    // Objects count the same way.
    std::wstring deep;
    for (int i = 0; i < 201; ++i) deep += L"{\"k\":";
    EXPECT_EQ(errorOf(deep + L"1" + std::wstring(201, L'}')), L"exceeded maximum nesting depth");
    // Far beyond the limit fails the same way, without exhausting the stack.
    EXPECT_EQ(errorOf(std::wstring(100000, L'[')), L"exceeded maximum nesting depth");
}

TEST(JsonParser, NestedArraysAndObjectsKeepTheirElements) {
    const Json v = parseOk(L"[[1,2],[3,[4,5],[]],6,{\"k\":[7,[8]]},[[[9]]]]");
    ASSERT_EQ(v.array_items().size(), 5u);
    EXPECT_EQ(v[0].dump(), L"[1,2]");
    EXPECT_EQ(v[1].dump(), L"[3,[4,5],[]]");
    EXPECT_EQ(v[2].int_value(), 6);
    EXPECT_EQ(v[3][L"k"][1][0].int_value(), 8);
    EXPECT_EQ(v[4][0][0][0].int_value(), 9);
    // Members come out ordered by their code units, whatever the order written.
    const Json o = parseOk(L"{\"b\":1,\"あ\":2,\"a\":3,\"A\":4,\"ab\":5,\"\":6}");
    std::wstring keys;
    for (const auto& [key, value] : o.object_items()) keys += L"<" + key + L">";
    EXPECT_EQ(keys, L"<><A><a><ab><b><あ>");
    EXPECT_EQ(o[L""].int_value(), 6);
}

TEST(JsonParser, ErrorIsClearedOnSuccess) {
    std::wstring err = L"left over";
    EXPECT_EQ(Json::parse(L"[]", err).array_items().size(), 0u);
    EXPECT_EQ(err, L"");
}
