// The lenient markup reader: the cases under tests/data/xml, the reader as an object
// (appending parses, a wide text's byte-order mark), and hostile shapes. That bytes read as
// they stand give the nodes of their decoded text, and that nodes past the end are empty, the
// fuzz target checks on every input.
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

TEST(Xml, CasesReadAsTheirFilesSayAndParsesAppend) {
    tavi::test::runCases("xml", [](const std::string& input) {
        return tavi::test::Outcome{outline(Xml(input.data(), input.size())), ""};
    });
    // Parses append, with nothing open; a wide text's byte-order mark is skipped.
    Xml xml(nullptr, 0);
    EXPECT_EQ(xml.count(), 0u);
    xml.parse(L"\xFEFF<a><b>");
    xml.parse(L"<c>t");
    EXPECT_EQ(outline(xml), "a|||\nb|a||\nc|||\n|c|t|\n");
    const Xml::Node past = xml.node(4);  // past the end: an empty node, not what follows
    EXPECT_TRUE(past.name.empty() && past.text.empty() && past.path.empty() && past.attributes.empty());
}

// Nesting far deeper than any feed (a run of '<' and names as long as the document are cases
// under tests/data/xml): the nodes and their paths must still be right. Paths compare by their
// dotted text, however it is split into names.
TEST(XmlShapes, DeepNestingAndPathsCompared) {
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
    EXPECT_EQ(text.path.parent(), path.substr(2));
    EXPECT_EQ(xml.node(depth + 1).path, path);  // the end tag's path keeps its name

    Xml dotted;
    dotted.parse(L"<a.b>1</a.b><a><b>2</b></a><a><c>3");
    EXPECT_TRUE(dotted.node(1).path == dotted.node(5).path);  // "a.b" as one name and nested
    EXPECT_FALSE(dotted.node(5).path == dotted.node(10).path);
    EXPECT_EQ(dotted.node(10).path, L"a.c");
    EXPECT_NE(dotted.node(10).path, L"a.b");
}

// Bytes that are not plain UTF-8 are decoded before they are read, also when they lie in a
// long text or tag, past the part of the document the reader checked first.
TEST(XmlShapes, BytesFoundNotPlainLateAreDecodedFirst) {
    const std::string filler(100000, 'x'), odd = "\x82\xa0";  // Shift_JIS
    for (const std::string& doc : {"<a>" + filler + odd + "</a>", "<a/><b c=\"" + filler + odd + "\"/>"}) {
        Xml decoded;
        decoded.parse(kiro::io::decode(doc.data(), doc.size()));
        EXPECT_EQ(outline(Xml(doc.data(), doc.size())), outline(decoded));
    }
}

// A piece too large for the chunk being filled gets a chunk of its own; the chunks after it keep
// the ordinary sizes instead of growing from that piece's.
TEST(Arena, APieceOfItsOwnLeavesTheNextChunkSmall) {
    kiro::io::Arena arena;
    arena.allocate(size_t(16) << 20, 8);
    const size_t large = arena.reserved();
    arena.allocate(64, 8);
    EXPECT_LT(arena.reserved() - large, size_t(64) << 10);
}

}  // namespace
