// The exception text: file name only, line, function, two line breaks, message (a missing
// message is told by the error log's test in app_test.cpp).
#include "kiro/exception.h"

#include <gtest/gtest.h>

TEST(Exception, TextNamesFileLineFunctionAndMessage) {
    EXPECT_STREQ(
        kiro::Exception("C:\\src\\tavi\\multiunit.cpp", 4294967295u, "tavi::MultiUnit::MultiUnit", "ERROR_UnitNotFound")
            .what(),
        "multiunit.cpp(4294967295) tavi::MultiUnit::MultiUnit\n\nERROR_UnitNotFound");
    try {
        KIRO_THROW("test::thrower", "boom");
    } catch (const std::exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("exception_test.cpp(", 0), 0u) << e.what();
        EXPECT_NE(std::string(e.what()).find(") test::thrower\n\nboom"), std::string::npos) << e.what();
    }
}
