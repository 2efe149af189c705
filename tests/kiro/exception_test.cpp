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
        EXPECT_EQ(e.what(), "exception_test.cpp(" + std::to_string(__LINE__ - 2) + ") test::thrower\n\nboom");
    }
}
