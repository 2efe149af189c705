// Wide JSON values: neutral lookups, shared constants, comparison and output.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "kiro/io/json11/json11w.h"

using json11w::Json;

namespace {

Json parseOk(const std::wstring& text) {
    std::wstring err = L"stale";
    Json value = Json::parse(text, err);
    EXPECT_EQ(err, L"") << "while parsing " << std::string(text.begin(), text.end());
    return value;
}

}  // namespace

TEST(JsonValues, TypesAndPayloads) {
    EXPECT_EQ(Json().type(), Json::NUL);
    EXPECT_EQ(Json(nullptr).type(), 0);
    EXPECT_EQ(Json(3).type(), 1);
    EXPECT_EQ(Json(2.5).type(), 1);
    EXPECT_EQ(Json(true).type(), 2);
    EXPECT_EQ(Json(L"あ").type(), 3);
    EXPECT_EQ(Json(Json::array{1, 2}).type(), 4);
    EXPECT_EQ(Json(Json::object{{L"k", 1}}).type(), 5);

    EXPECT_EQ(Json(7).int_value(), 7);
    for (int n : {-1, 0, 1023, 1024, -2147483647 - 1, 2147483647}) {
        EXPECT_EQ(Json(n).int_value(), n);
        EXPECT_EQ(Json(n).number_value(), double(n));
    }
    EXPECT_EQ(Json(7).number_value(), 7.0);
    EXPECT_TRUE(Json(true).bool_value());
    EXPECT_FALSE(Json(false).bool_value());
    EXPECT_EQ(Json(std::wstring(L"abc")).string_value(), L"abc");
    EXPECT_EQ(Json(Json::array{1, L"x"})[1].string_value(), L"x");
}

TEST(JsonValues, NeutralValuesForWrongTypesAndMisses) {
    const Json obj = parseOk(L"{\"s\":\"text\",\"n\":4,\"a\":[1,2],\"o\":{\"k\":true}}");

    // Missing keys, indexes past the end, lookups on non-containers.
    EXPECT_TRUE(obj[L"missing"].is_null());
    EXPECT_TRUE(obj[L"a"][2].is_null());
    EXPECT_TRUE(obj[L"a"][size_t(-1)].is_null());
    EXPECT_TRUE(obj[L"s"][L"k"].is_null());
    EXPECT_TRUE(obj[L"s"][0].is_null());
    EXPECT_TRUE(obj[0].is_null());
    EXPECT_TRUE(obj[L"missing"][L"deeper"][3][L"still"].is_null());

    // Each accessor on a value of another type gives its neutral value.
    EXPECT_TRUE(obj[L"s"].array_items().empty());
    EXPECT_TRUE(obj[L"s"].object_items().empty());
    EXPECT_EQ(obj[L"n"].string_value(), L"");
    EXPECT_EQ(obj[L"s"].number_value(), 0.0);
    EXPECT_EQ(obj[L"s"].int_value(), 0);
    EXPECT_FALSE(obj[L"n"].bool_value());
    EXPECT_TRUE(obj[L"a"].object_items().empty());
    EXPECT_TRUE(obj[L"o"].array_items().empty());
    EXPECT_TRUE(obj[L"o"][L"k"].bool_value());
}

TEST(JsonValues, MissesShareOneConstantEach) {
    const Json a = parseOk(L"[1]");
    const Json s = parseOk(L"\"x\"");
    // Every miss returns a reference to the same shared object, whatever it was asked on.
    EXPECT_EQ(&a[5], &s[L"k"]);
    EXPECT_EQ(&a[5], &Json()[0]);
    EXPECT_EQ(&s.array_items(), &Json(3).array_items());
    EXPECT_EQ(&s.object_items(), &a.object_items());
    EXPECT_EQ(&a.string_value(), &Json(true).string_value());
    // The shared null is the default value, and copies share their payload.
    EXPECT_EQ(a[5], Json());
    const Json copy = s;
    EXPECT_EQ(&copy.string_value(), &s.string_value());
}

TEST(JsonValues, ComparisonIsNumericAcrossIntAndDouble) {
    EXPECT_EQ(Json(2), Json(2.0));
    EXPECT_LT(Json(2), Json(2.5));
    EXPECT_LT(Json(1.5), Json(2));
    EXPECT_NE(Json(1), Json(L"1"));
    // Different types order by type number.
    EXPECT_LT(Json(), Json(0));
    EXPECT_LT(Json(99), Json(false));
    EXPECT_LT(Json(L"z"), Json(Json::array{}));
    EXPECT_EQ(parseOk(L"{\"a\":[1,{\"b\":null}]}"), parseOk(L" { \"a\" : [ 1.0 , { \"b\" : null } ] } "));
    EXPECT_NE(parseOk(L"[1,2]"), parseOk(L"[2,1]"));
}

TEST(JsonValues, DumpWritesValidJsonThatParsesBack) {
    const std::wstring text =
        L"{\"a\":[1,-2.5,true,false,null],\"b\":\"q\\\"\\\\\\n\\t\\u0001\\u3042\",\"c\":{}}";
    const Json value = parseOk(text);
    EXPECT_EQ(value.dump(),
              L"{\"a\":[1,-2.5,true,false,null],\"b\":\"q\\\"\\\\\\n\\t\\u0001あ\",\"c\":{}}");
    EXPECT_EQ(parseOk(value.dump()), value);

    // Numbers that have no JSON spelling are written as null; big doubles keep their value.
    EXPECT_EQ(Json(std::numeric_limits<double>::infinity()).dump(), L"null");
    EXPECT_EQ(Json(std::nan("")).dump(), L"null");
    EXPECT_EQ(parseOk(Json(1e300).dump()).number_value(), 1e300);
    EXPECT_EQ(parseOk(Json(0.1).dump()).number_value(), 0.1);

    // A lone surrogate cannot be written raw; it stays an escape and reads back the same.
    const Json lone = parseOk(L"\"a\\ud800b\"");
    EXPECT_EQ(lone.dump(), L"\"a\\ud800b\"");
    EXPECT_EQ(parseOk(lone.dump()), lone);
}

TEST(JsonValues, IntValueTruncatesTowardZeroAndClamps) {
    EXPECT_EQ(parseOk(L"2.9").int_value(), 2);
    EXPECT_EQ(parseOk(L"-2.9").int_value(), -2);
    EXPECT_EQ(parseOk(L"1e20").int_value(), std::numeric_limits<int>::max());
    EXPECT_EQ(parseOk(L"-1e20").int_value(), std::numeric_limits<int>::min());
    EXPECT_EQ(Json(std::nan("")).int_value(), 0);
    EXPECT_EQ(parseOk(L"-2147483648.0").int_value(), std::numeric_limits<int>::min());
}
