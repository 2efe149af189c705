// The URL splitter: the cases under tests/data/url.
#include "kiro/io/url.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"

TEST(Url, CasesSplitAsTheirFilesSay) {
    tavi::test::runCases("url", [](std::string in) {
        if (!in.empty() && in.back() == '\n') in.pop_back();
        const kiro::io::Url u(kiro::io::fromUtf8(in));
        const std::wstring fields = u.full + L"|" + u.scheme + L"|" + u.host + L"|" + u.path + L"|" + u.query + L"|" +
                                    u.extension + L"|" + std::to_wstring(u.port);
        return tavi::test::Outcome{kiro::io::toUtf8(fields), ""};
    });
}
