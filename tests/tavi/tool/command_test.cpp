// The command parser: the cases under tests/data/command.
#include "tavi/tool/command.h"

#include <gtest/gtest.h>

#include <map>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"

TEST(Command, CasesParseAsTheirFilesSay) {
    using tavi::test::visible;
    tavi::test::runCases("command", [](std::string in) {
        if (!in.empty() && in.back() == '\n') in.pop_back();
        const tavi::tool::Command c(kiro::io::fromUtf8(in));
        std::string out = "text " + visible(c.text) + "\nname " + visible(c.name) + "\n";
        for (const auto& a : c.arguments) out += "argument " + visible(a) + "\n";
        for (const auto& [key, value] : std::map<std::wstring, std::wstring>(c.options.begin(), c.options.end())) {
            out += "option " + visible(key) + "=" + visible(value) + "\n";
            EXPECT_TRUE(c.hasOption(key));
        }
        EXPECT_FALSE(c.hasOption(L"absent"));
        return tavi::test::Outcome{out, ""};
    });
}
