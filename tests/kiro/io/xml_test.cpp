// Tests of the lenient markup reader: node order, paths, attributes, skipped and unterminated
// constructs, CDATA, declarations and character references.
#include "kiro/io/xml.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kiro::io::Xml;

namespace {

// One line per node: "name|path|text", so a whole document compares in one assertion.
std::vector<std::wstring> outline(const Xml& xml) {
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < xml.count(); ++i) {
        const Xml::Node& n = xml.node(i);
        lines.push_back(n.name.str() + L"|" + n.path.str() + L"|" + n.text.str());
    }
    return lines;
}

std::vector<std::wstring> outline(const std::wstring& text) {
    Xml xml;
    xml.parse(text);
    return outline(xml);
}

std::wstring decoded(const std::wstring& text) { return Xml::decodeEntities(text); }

using Lines = std::vector<std::wstring>;

}  // namespace

TEST(Xml, FeedDocumentGivesTenNodesWithPaths) {
    const std::string bytes =
        "<?xml version=\"1.0\"?>\n<rss version=\"2.0\">\n <channel>\n  <item>\n"
        "   <title>A &amp; B</title>\n  </item>\n </channel>\n</rss>\n";
    Xml xml(bytes.data(), bytes.size());
    EXPECT_EQ(outline(xml), (Lines{
                                L"?xml||",
                                L"rss||",
                                L"channel|rss|",
                                L"item|rss.channel|",
                                L"title|rss.channel.item|",
                                L"|rss.channel.item.title|A & B",
                                L"/title|rss.channel.item.title|",
                                L"/item|rss.channel.item|",
                                L"/channel|rss.channel|",
                                L"/rss|rss|",
                            }));
    EXPECT_EQ(xml.node(1).attributes.at(L"version"), L"2.0");
    EXPECT_TRUE(xml.node(5).attributes.empty());
}

TEST(Xml, OutOfRangeIndexGivesEmptyNodeAndParseAppends) {
    Xml xml;
    EXPECT_EQ(xml.count(), 0u);
    EXPECT_EQ(xml.node(0).name, L"");
    xml.parse(L"<a><b>");
    // A second parse starts with nothing open: the leftover a and b do not prefix its paths.
    xml.parse(L"<c>t");
    ASSERT_EQ(xml.count(), 4u);
    EXPECT_EQ(xml.node(3).path, L"c");
    EXPECT_EQ(xml.node(2).path, L"");
    const Xml::Node& past = xml.node(4);
    EXPECT_TRUE(past.name.empty() && past.text.empty() && past.path.empty() &&
                past.attributes.empty());
    EXPECT_EQ(&xml.node(1000), &past);
}

TEST(Xml, TextIsTrimmedButKeepsInnerWhitespace) {
    EXPECT_EQ(outline(L"<p>\r\n\t one\n two \t\r\n</p>  \n <q> </q>"),
              (Lines{L"p||", L"|p|one\n two", L"/p|p|", L"q||", L"/q|q|"}));
    EXPECT_EQ(outline(L""), Lines{});
    EXPECT_EQ(outline(L" \t\r\n"), Lines{});
}

TEST(Xml, SelfClosingAndVoidTagsOpenNoElement) {
    EXPECT_EQ(outline(L"<a><br><img src=x><meta charset=utf-8><hr/><br/><x /><b>t</b></a>"),
              (Lines{L"a||", L"br|a|", L"img|a|", L"meta|a|", L"hr/|a|", L"br/|a|", L"x|a|",
                     L"b|a|", L"|a.b|t", L"/b|a.b|", L"/a|a|"}));
    // Case matters: BR is an ordinary element and stays open.
    EXPECT_EQ(outline(L"<BR>t"), (Lines{L"BR||", L"|BR|t"}));
}

TEST(Xml, AttributesOfSelfClosingTags) {
    for (const wchar_t* doc : {L"<link href=\"http://e.com/a/\"/>", L"<link href=\"http://e.com/a/\" />",
                               L"<link rel=x href=\"http://e.com/a/\"/>"}) {
        Xml xml;
        xml.parse(doc);
        ASSERT_EQ(xml.count(), 1u) << doc;
        EXPECT_EQ(xml.node(0).name, L"link");
        EXPECT_EQ(xml.node(0).attributes.at(L"href"), L"http://e.com/a/") << doc;
    }
    Xml xml;
    xml.parse(L"<a k=1 k=2 bare title=\"two words\" q='x y' e= eq=a=b sq=\"it's\">");
    const auto& at = xml.node(0).attributes;
    EXPECT_EQ(at.at(L"k"), L"2");
    EXPECT_EQ(at.at(L"title"), L"two words");
    EXPECT_EQ(at.at(L"q"), L"'x");  // single quotes are plain characters
    EXPECT_EQ(at.at(L"e"), L"");
    EXPECT_EQ(at.at(L"eq"), L"a=b");
    EXPECT_EQ(at.at(L"sq"), L"it's");
    EXPECT_EQ(at.count(L"bare"), 0u);
    EXPECT_EQ(at.size(), 6u);
    // References in attribute values stay as written.
    xml.parse(L"<a href=\"?a=1&amp;b=2\">");
    EXPECT_EQ(xml.node(1).attributes.at(L"href"), L"?a=1&amp;b=2");
}

TEST(Xml, GreaterThanInsideAttributeEndsTheTag) {
    EXPECT_EQ(outline(L"<a t=\"x>y\">z</a>"),
              (Lines{L"a||", L"|a|y\">z", L"/a|a|"}));
}

TEST(Xml, EndTagsPopWhateverIsOpen) {
    EXPECT_EQ(outline(L"</x><a><b></c>t</d></e>u"),
              (Lines{L"/x||", L"a||", L"b|a|", L"/c|a.b|", L"|a|t", L"/d|a|", L"/e||", L"||u"}));
}

TEST(Xml, CommentsEndTextAndAreNotStored) {
    EXPECT_EQ(outline(L"<p>one <!-- a <b> c --> two</p><!---->"),
              (Lines{L"p||", L"|p|one", L"|p|two", L"/p|p|"}));
    EXPECT_EQ(outline(L"<a>x<!-->y"), (Lines{L"a||", L"|a|x", L"|a|y"}));
    // An unterminated comment ends the parse; what came before stays.
    EXPECT_EQ(outline(L"<a>x<!-- open <b>lost</b>"), (Lines{L"a||", L"|a|x"}));
}

TEST(Xml, UnterminatedTagTakesTheRest) {
    Xml xml;
    xml.parse(L"<a>x<b c=\"1\" d");
    ASSERT_EQ(xml.count(), 3u);
    EXPECT_EQ(xml.node(2).name, L"b");
    EXPECT_EQ(xml.node(2).path, L"a");
    EXPECT_EQ(xml.node(2).attributes.at(L"c"), L"1");
    EXPECT_EQ(outline(L"t<"), (Lines{L"||t", L"||"}));
}

TEST(Xml, ScriptAndStyleAreSkipped) {
    EXPECT_EQ(outline(L"<body><script type=\"x\">if (a<b) s = \"</p>\";</script>"
                      L"<style>p > a { }</style><p>t</p></body>"),
              (Lines{L"body||", L"p|body|", L"|body.p|t", L"/p|body.p|", L"/body|body|"}));
    // Upper case is not recognised: its content is parsed as markup.
    EXPECT_EQ(outline(L"<SCRIPT>x</SCRIPT>"), (Lines{L"SCRIPT||", L"|SCRIPT|x", L"/SCRIPT|SCRIPT|"}));
    // Without its end tag the content is parsed as ordinary markup.
    EXPECT_EQ(outline(L"<script>x<b>y"), (Lines{L"||x", L"b||", L"|b|y"}));
    // A self-closed script has no content; the text after it is kept.
    EXPECT_EQ(outline(L"<script src=\"a.js\"/>kept<script>gone</script>"), (Lines{L"||kept"}));
}

TEST(Xml, CdataIsKeptVerbatimAsText) {
    EXPECT_EQ(outline(L"<d><![CDATA[ <b>bold</b> &amp; ]]></d>"),
              (Lines{L"d||", L"|d|<b>bold</b> &amp;", L"/d|d|"}));
    // Pieces of one element's text may form separate nodes.
    EXPECT_EQ(outline(L"<t>a <![CDATA[b]]> c<![CDATA[]]><![CDATA[ ]]></t>"),
              (Lines{L"t||", L"|t|a", L"|t|b", L"|t|c", L"/t|t|"}));
    // An unterminated section ends the parse.
    EXPECT_EQ(outline(L"<t>a<![CDATA[b</t>"), (Lines{L"t||", L"|t|a"}));
}

TEST(Xml, DeclarationsAndInstructionsOpenNoElement) {
    Xml xml;
    xml.parse(L"<?xml version=\"1.0\"?><?xml-stylesheet href=\"s.xsl\" type=\"text/xsl\"?>"
              L"<!DOCTYPE rss SYSTEM \"x.dtd\"><rss><channel/></rss>");
    EXPECT_EQ(outline(xml), (Lines{L"?xml||", L"?xml-stylesheet||", L"!DOCTYPE||", L"rss||",
                                   L"channel/|rss|", L"/rss|rss|"}));
    EXPECT_EQ(xml.node(1).attributes.at(L"href"), L"s.xsl");
}

TEST(Xml, LeadingByteOrderMarkIsNotContent) {
    EXPECT_EQ(outline(L"\xFEFF<a>x</a>"), (Lines{L"a||", L"|a|x", L"/a|a|"}));
    const std::string bytes = "\xEF\xBB\xBF<a>x</a>";
    Xml xml(bytes.data(), bytes.size());
    EXPECT_EQ(outline(xml), (Lines{L"a||", L"|a|x", L"/a|a|"}));
    // Zero bytes are ordinary characters here.
    const std::string zero("<a>x\0y</a>", 10);
    Xml withZero(zero.data(), zero.size());
    ASSERT_EQ(withZero.count(), 3u);
    EXPECT_EQ(withZero.node(1).text, std::wstring(L"x\0y", 3));
    Xml none(nullptr, 0);
    EXPECT_EQ(none.count(), 0u);
}

TEST(Xml, BytesAreDecodedWithDetection) {
    const std::string utf8 = "<t>\xe4\xbb\x8a\xe6\x97\xa5\xe3\x81\xae\xe3\x83\xa1\xe3\x83\xa2</t>";
    const std::string sjis = "<t>\x8d\xa1\x93\xfa\x82\xcc\x83\x81\x83\x82</t>";
    for (const std::string& bytes : {utf8, sjis}) {
        Xml xml(bytes.data(), bytes.size());
        EXPECT_EQ(outline(xml), (Lines{L"t||", L"|t|\u4eca\u65e5\u306e\u30e1\u30e2", L"/t|t|"}));
    }
}

TEST(Xml, ReferencesDecodeToTheirCodePoints) {
    EXPECT_EQ(decoded(L"&#9;&#09;&#10;&#13;&#32;&#94;&#123;x&#125;"), L"\t\t\n\r ^{x}");
    EXPECT_EQ(decoded(L"&#x41;&#X42;&#x63;&#xe9;&#233;&#x3042;"), L"ABc\u00e9\u00e9\u3042");
    EXPECT_EQ(decoded(L"&#x1F600;&#128512;"), L"\U0001F600\U0001F600");
    EXPECT_EQ(decoded(L"&lt;&gt;&amp;&quot;&apos;"), L"<>&\"'");
    EXPECT_EQ(decoded(L"a&nbsp;b&#160;c&#xA0;d"), L"a b c d");
}

TEST(Xml, ReferencesAreDecodedInOnePass) {
    EXPECT_EQ(decoded(L"&amp;lt;"), L"&lt;");
    EXPECT_EQ(decoded(L"&amp;amp;"), L"&amp;");
    EXPECT_EQ(decoded(L"&amp;#65;"), L"&#65;");
    EXPECT_EQ(decoded(L"&&lt;&"), L"&<&");
}

TEST(Xml, MalformedReferencesStayAsWritten) {
    for (const wchar_t* s :
         {L"&#0;", L"&#x0;", L"&#x110000;", L"&#1114112;", L"&#xD800;", L"&#57343;",
          L"&#99999999999999999999999;", L"&#xFFFFFFFFFFFFFFFF41;", L"&#;", L"&#x;", L"&#65",
          L"&#x4G;", L"&#-1;", L"&copy;", L"&LT;", L"&lt", L"&", L"& amp;", L"&#"}) {
        EXPECT_EQ(decoded(s), s);
    }
    EXPECT_EQ(decoded(L"&#x10FFFF;"), std::wstring(L"\U0010FFFF"));
    EXPECT_EQ(decoded(L"x&#65&#66;"), L"x&#65B");
}

TEST(Xml, TextNodesAreDecoded) {
    EXPECT_EQ(outline(L"<t>Tom &amp; Jerry &#x26; &lt;b&gt;</t>"),
              (Lines{L"t||", L"|t|Tom & Jerry & <b>", L"/t|t|"}));
    // Decoding happens after trimming: an encoded blank at the edge stays.
    EXPECT_EQ(outline(L"<t>&#32;x&nbsp;</t>").at(1), L"|t| x ");
}
