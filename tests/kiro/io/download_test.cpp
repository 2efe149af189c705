// The HTTP download against the local servers: what each kind of answer delivers, the size cap,
// certificate checks and a prompt cancel of a stalled request.
#include "kiro/io/download.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/feedserver.h"

namespace {

using tavi::test::served;

std::string bodyOf(const std::wstring& url) {
    kiro::io::Download download(url);
    EXPECT_TRUE(download.wait(60000)) << "no end for " << kiro::io::toUtf8(url);
    EXPECT_FALSE(download.busy());
    return std::string(reinterpret_cast<const char*>(download.data()), download.size());
}

TEST(Download, DeliversOnlyWhatTheRulesAccept) {
    tavi::test::trustServers();
    const struct {
        const char* server;
        const wchar_t* path;
        std::string body;
    } cases[] = {
        {"TAVI_HTTP", L"/ok", "tavi test body\n"},
        {"TAVI_HTTPS", L"/ok?x=1", "tavi test body\n"},
        {"TAVI_HTTP", L"/moved", ""},  // redirects are not followed
        {"TAVI_HTTP", L"/status/404", ""},
        {"TAVI_HTTPS", L"/status/500", ""},
        // Asked again with empty credentials; that answer is delivered.
        {"TAVI_HTTP", L"/auth", "denied with credentials\n"},
        {"TAVI_HTTPS", L"/auth", "denied with credentials\n"},
        {"TAVI_HTTPS_OTHER_NAME", L"/ok", ""},
        {"TAVI_HTTPS_EXPIRED", L"/ok", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bodyOf(served(c.server, c.path)), c.body) << c.server << " " << kiro::io::toUtf8(c.path);
    }
    EXPECT_EQ(bodyOf(L"file:///etc/hostname"), "");
}

TEST(Download, BodiesUpToTheCapArriveWholeAndLargerOnesFail) {
    EXPECT_EQ(bodyOf(served("TAVI_HTTP", L"/big/10")).size(), size_t(10) << 20);
    EXPECT_EQ(bodyOf(served("TAVI_HTTP", L"/big/50")).size(), 0u);
}

TEST(Download, CancelLeavesAStalledServerAtOnce) {
    tavi::test::trustServers();
    for (const char* server : {"TAVI_HTTP", "TAVI_HTTPS"}) {
        kiro::io::Download download(served(server, L"/stall"));
        EXPECT_FALSE(download.wait(300));
        EXPECT_TRUE(download.busy());
        const auto start = std::chrono::steady_clock::now();
        download.cancel();
        // The server holds the request for minutes; the cancel must not wait for it.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << server;
        EXPECT_FALSE(download.busy());
        EXPECT_EQ(download.size(), 0u);
    }
}

}  // namespace
