// The lenient markup reader: the cases under tests/data/xml, then the reader as an object
// (appending parses, out-of-range nodes, a wide text's byte-order mark).
#include "kiro/io/xml.h"

#include <gtest/gtest.h>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"

namespace {

using kiro::io::Xml;
using tavi::test::visible;

std::string outline(const Xml& xml) {
    std::string lines;
    for (size_t i = 0; i < xml.count(); ++i) {
        const Xml::Node& n = xml.node(i);
        lines += visible(n.name) + "|" + visible(n.path) + "|" + visible(n.text) + "|";
        for (const auto& [key, value] : n.attributes) lines += visible(key) + "=" + visible(value) + "|";
        lines += "\n";
    }
    return lines;
}

TEST(Xml, CasesReadAsTheirFilesSay) {
    tavi::test::runCases("xml", [](const std::string& input) {
        // Plain UTF-8 is read as it stands; it must give what the decoded text gives.
        Xml decoded;
        decoded.parse(kiro::io::decode(input.data(), input.size()));
        const std::string lines = outline(Xml(input.data(), input.size()));
        return tavi::test::Outcome{lines, lines == outline(decoded) ? "" : "differs from the decoded text"};
    });
}

TEST(Xml, ParsesAppendWithNothingOpenAndOutOfRangeNodesAreEmpty) {
    Xml xml(nullptr, 0);
    EXPECT_EQ(xml.count(), 0u);
    xml.parse(L"\xFEFF<a><b>");
    xml.parse(L"<c>t");
    EXPECT_EQ(outline(xml), "a|||\nb|a||\nc|||\n|c|t|\n");
    const Xml::Node& past = xml.node(4);
    EXPECT_TRUE(past.name.empty() && past.text.empty() && past.path.empty() && past.attributes.empty());
    EXPECT_EQ(&xml.node(1000), &past);
}

}  // namespace
