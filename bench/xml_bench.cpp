// Parses one generated feed with the markup reader and with libxml2's recovering parser, at
// 100 KB, 1 MB and 10 MB, so speed and linearity can be read side by side.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <map>
#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/io/xml.h"

namespace {

// An RSS 2.0 document of about the given size, with the mix a real feed has: entities,
// CDATA descriptions, attributes, self-closing tags and Japanese text.
const std::string& feed(size_t bytes) {
    static std::map<size_t, std::string> made;
    std::string& doc = made[bytes];
    if (!doc.empty()) return doc;
    doc = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          "<rss version=\"2.0\" xmlns:atom=\"http://www.w3.org/2005/Atom\">\n<channel>\n"
          "<title>Tavi &amp; friends: daily notes</title>\n"
          "<link>https://example.org/notes/</link>\n"
          "<atom:link href=\"https://example.org/notes/feed.xml\" rel=\"self\" />\n";
    for (unsigned i = 0; doc.size() < bytes; ++i) {
        const std::string n = std::to_string(i);
        doc += "<item>\n  <title>Note " + n +
               ": the kettle &amp; the cat &#8212; \xe4\xbb\x8a\xe6\x97\xa5\xe3\x81\xae\xe3\x83"
               "\xa1\xe3\x83\xa2</title>\n"
               "  <link>https://example.org/notes/" + n + ".html</link>\n"
               "  <guid isPermaLink=\"false\">note-" + n + "</guid>\n"
               "  <pubDate>Sun, 06 Dec 2026 07:" + std::to_string(i % 60) +
               ":00 +0000</pubDate>\n"
               "  <description><![CDATA[<p>The kettle sang at seven; the cat ignored it, "
               "as cats do. <b>Note " + n + "</b> was written on the train.</p>]]></description>\n"
               "  <category>daily</category>\n"
               "  <comments>&lt;none&gt; so far &#x2014; write one</comments>\n"
               "</item>\n";
    }
    doc += "</channel>\n</rss>\n";
    return doc;
}

void BM_Xml(benchmark::State& state) {
    const std::string& doc = feed(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        kiro::io::Xml xml(doc.data(), doc.size());
        benchmark::DoNotOptimize(xml.count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}

// The parse alone, on text decoded beforehand.
void BM_XmlParseOnly(benchmark::State& state) {
    const std::string& doc = feed(static_cast<size_t>(state.range(0)));
    const std::wstring text = kiro::io::decode(doc.data(), doc.size());
    for (auto _ : state) {
        kiro::io::Xml xml;
        xml.parse(text);
        benchmark::DoNotOptimize(xml.count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}

void BM_LibXml2(benchmark::State& state) {
    const std::string& doc = feed(static_cast<size_t>(state.range(0)));
    const int options = XML_PARSE_RECOVER | XML_PARSE_NOERROR | XML_PARSE_NOWARNING |
                        XML_PARSE_NONET | XML_PARSE_HUGE;
    for (auto _ : state) {
        xmlDocPtr parsed = xmlReadMemory(doc.data(), static_cast<int>(doc.size()), "feed.xml",
                                         nullptr, options);
        benchmark::DoNotOptimize(parsed);
        xmlFreeDoc(parsed);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}

}  // namespace

BENCHMARK(BM_Xml)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XmlParseOnly)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibXml2)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
