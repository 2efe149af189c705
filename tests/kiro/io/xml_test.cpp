// The lenient markup reader: the cases under tests/data/xml, the reader as an object
// (appending parses, out-of-range nodes, a wide text's byte-order mark), and hostile shapes.
#include "kiro/io/xml.h"

#include <gtest/gtest.h>

#include <string>

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

// Shapes that hostile documents take: nesting far deeper than any feed, a run of '<', names as
// long as the document; the nodes and their paths must still be right. Paths compare by their
// dotted text, however it is split into names.
TEST(XmlShapes, DeepNestingRunsOfLessThanLongNamesAndPathsCompared) {
    const size_t depth = 100000;
    std::string doc;
    for (size_t k = 0; k < depth; ++k) doc += "<a>";
    doc += "t";
    for (size_t k = 0; k < depth; ++k) doc += "</a>";
    const Xml xml(doc.data(), doc.size());
    ASSERT_EQ(xml.count(), 2 * depth + 1);
    std::wstring path = L"a";
    for (size_t k = 1; k < depth; ++k) path += L".a";
    const Xml::Node& text = xml.node(depth);
    EXPECT_EQ(text.text, L"t");
    EXPECT_EQ(text.path.str(), path);
    EXPECT_NE(text.path, path.substr(2));
    EXPECT_EQ(text.path.parent(), path.substr(2));
    EXPECT_EQ(xml.node(depth - 1).path, path.substr(2));  // a start tag's path leaves it out
    EXPECT_EQ(xml.node(depth + 1).path, path);            // its end tag's keeps it

    Xml run;
    run.parse(std::wstring(300000, L'<'));
    ASSERT_EQ(run.count(), 1u);
    EXPECT_EQ(run.node(0).name, std::wstring(299999, L'<'));

    const std::string name(100000, 'n');
    const std::string named = "<" + name + "><" + name + " k=v>t";
    const Xml xml2(named.data(), named.size());
    ASSERT_EQ(xml2.count(), 3u);
    EXPECT_EQ(xml2.node(1).attributes.at(L"k"), L"v");
    EXPECT_EQ(xml2.node(2).path,
              std::wstring(name.begin(), name.end()) + L"." + std::wstring(name.begin(), name.end()));

    // More different names than a document's names are shared among, each seen twice.
    std::string many;
    for (int round = 0; round < 2; ++round)
        for (int i = 0; i < 2000; ++i) many += "<n" + std::to_string(i) + " k" + std::to_string(i) + "=v/>";
    const Xml xml3(many.data(), many.size());
    ASSERT_EQ(xml3.count(), 4000u);
    for (size_t i = 0; i < 4000; ++i) {
        ASSERT_EQ(xml3.node(i).name, L"n" + std::to_wstring(i % 2000));
        ASSERT_EQ(xml3.node(i).attributes.begin()->first, L"k" + std::to_wstring(i % 2000));
    }

    Xml dotted;
    dotted.parse(L"<a.b>1</a.b><a><b>2</b></a><a><c>3");
    EXPECT_TRUE(dotted.node(1).path == dotted.node(5).path);  // "a.b" as one name and nested
    EXPECT_FALSE(dotted.node(5).path == dotted.node(10).path);
    EXPECT_EQ(dotted.node(10).path, L"a.c");
    EXPECT_NE(dotted.node(10).path, L"a.b");
}

}  // namespace
