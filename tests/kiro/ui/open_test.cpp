// Which texts open in the web browser.
#include "kiro/ui/open.h"

#include <gtest/gtest.h>

TEST(OpenRules, OnlyHttpSchemesAreWebAddresses) {
    for (const wchar_t* yes : {L"http://example.com/", L"https://example.com/feed?a=1", L"HTTPS://EXAMPLE.COM/"})
        EXPECT_TRUE(kiro::ui::isWebAddress(yes));
    for (const wchar_t* no : {L"httpd.conf", L"http", L"temp\\rss.html", L""}) EXPECT_FALSE(kiro::ui::isWebAddress(no));
}
