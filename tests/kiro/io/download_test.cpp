// The HTTP download against the local servers: the cases under tests/data/download (what each
// kind of answer delivers, the size cap, certificate checks), then a prompt cancel of a
// stalled request.
#include "kiro/io/download.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "support/cases.h"
#include "support/feedserver.h"

namespace {

using tavi::test::served;

TEST(Download, CasesDeliverAsTheirFilesSayAndCancelLeavesAStalledServerAtOnce) {
    tavi::test::trustServers();
    tavi::test::runCases("download", [](const std::string& in) {
        const std::string line = in.substr(0, in.find('\n'));
        const size_t space = line.find(' ');
        const std::wstring rest = kiro::io::fromUtf8(line.substr(space + 1));  // all of it without a space
        kiro::io::Download download(space == std::string::npos ? rest : served(line.substr(0, space).c_str(), rest));
        EXPECT_TRUE(download.wait(60000) && !download.busy()) << "no end for " << in;
        const std::string body(reinterpret_cast<const char*>(download.data()), download.size());
        return tavi::test::Outcome{body.size() < (1 << 20) ? body : std::to_string(body.size()) + " bytes", ""};
    });
    // A cancel leaves a stalled server at once.
    for (const char* server : {"TAVI_HTTP", "TAVI_HTTPS"}) {
        kiro::io::Download download(served(server, L"/stall"));
        EXPECT_TRUE(!download.wait(300) && download.busy());
        const auto start = std::chrono::steady_clock::now();
        download.cancel();
        // The server holds the request for minutes; the cancel must not wait for it.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2)) << server;
        EXPECT_FALSE(download.busy());
        EXPECT_EQ(download.size(), 0u);
    }
}

}  // namespace
