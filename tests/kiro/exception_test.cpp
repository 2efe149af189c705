// The exception text: file name only, line, function, two line breaks, message.
#include "kiro/exception.h"

#include <gtest/gtest.h>

namespace {

TEST(Exception, TextNamesFileLineFunctionAndMessage) {
    const kiro::Exception e("C:\\src\\tavi\\multiunit.cpp", 42, "tavi::MultiUnit::MultiUnit", "ERROR_UnitNotFound");
    EXPECT_STREQ(e.what(), "multiunit.cpp(42) tavi::MultiUnit::MultiUnit\n\nERROR_UnitNotFound");
    const kiro::Exception posix("/home/u/src/tavi/body/skin.cpp", 7, "tavi::Body::Skin::Skin", nullptr);
    EXPECT_STREQ(posix.what(), "skin.cpp(7) tavi::Body::Skin::Skin\n\nundefined error");
    const kiro::Exception bare("appmain.cpp", 4294967295u, "AppMain::AppMain", "SORN initialization failed.");
    EXPECT_STREQ(bare.what(), "appmain.cpp(4294967295) AppMain::AppMain\n\nSORN initialization failed.");
}

TEST(Exception, ThrowMacroRecordsTheThrowSite) {
    try {
        KIRO_THROW("test::thrower", "boom");
        FAIL() << "no throw";
    } catch (const std::exception& e) {
        const std::string text = e.what();
        EXPECT_EQ(text.rfind("exception_test.cpp(", 0), 0u) << text;
        EXPECT_NE(text.find(") test::thrower\n\nboom"), std::string::npos) << text;
    }
}

}  // namespace
