// Fuzzes the feed reader on arbitrary bytes: the markup reader's nodes, the items found in them,
// the title-keyed merge and the page; checks what the page and the merge promise.

#include "fuzz_folder.h"
#include "kiro/io/xml.h"
#include "tavi/tool/rss.h"

namespace {

size_t occurrences(const std::wstring& text, const std::wstring& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const kiro::io::Xml document(data, size);
    const std::vector<tavi::tool::FeedItem> items = tavi::tool::extractFeedItems(document);
    // Each item is closed by an end tag of its own.
    check(items.size() <= document.count());

    tavi::tool::FeedCollection feeds;
    const size_t added = feeds.merge(items);
    check(added <= items.size() && (items.empty() || added > 0));
    check(feeds.merge(items) == 0);

    // Whatever the feed holds, it adds no markup: one list entry per item, one page end, and
    // a link only where an item had a web address.
    const std::wstring page = tavi::tool::feedPage(items);
    check(occurrences(page, L"<li>") == items.size());
    check(occurrences(page, L"</body>") == 1);
    check(occurrences(page, L"<a href=") <= items.size());
    return 0;
}
