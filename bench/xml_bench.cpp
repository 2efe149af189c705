// Parses one generated feed with the markup reader and with libxml2's recovering parser, at
// 100 KB, 1 MB and 10 MB, so speed and linearity can be read side by side. Both start from the
// bytes: the reader checks them for plain UTF-8 and reads them into wide-text nodes (other
// bytes are decoded first); libxml2 reads them into its tree of UTF-8 nodes. The reader runs
// as a feed cycle runs it, keeping large blocks from one document for the next
// (kiro::io::pages::Reuse); BM_XmlRatio also gives the ratio without that.
#include <benchmark/benchmark.h>
#include <libxml/parser.h>

#include <map>
#include <string>

#include "feed.h"
#include "kiro/io/charset/charset.h"
#include "kiro/io/pages.h"
#include "kiro/io/xml.h"
#include "ratio.h"

namespace {

const std::string& feed(size_t bytes) {
    static std::map<size_t, std::string> made;
    std::string& doc = made[bytes];
    if (doc.empty()) doc = makeFeed(bytes);
    return doc;
}

void BM_Xml(benchmark::State& state) {
    const std::string& doc = feed(static_cast<size_t>(state.range(0)));
    const kiro::io::pages::Reuse job;
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
    const kiro::io::pages::Reuse job;
    for (auto _ : state) {
        kiro::io::Xml xml;
        xml.parse(text);
        benchmark::DoNotOptimize(xml.count());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * doc.size()));
}

void BM_XmlRatio(benchmark::State& state) {
    const std::string& small = feed(1 << 20);
    const std::string& large = feed(10 << 20);
    const auto parse = [](const std::string& doc) {
        kiro::io::Xml xml(doc.data(), doc.size());
        benchmark::DoNotOptimize(xml.count());
    };
    pairedRatio(state, [&] { parse(small); }, [&] { parse(large); });
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
BENCHMARK(BM_XmlRatio)->ArgName("reuse")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LibXml2)->Arg(100 << 10)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
