// Items from feed documents, and the title-keyed merge of the items collected.
#include <utility>

#include "kiro/io/xml.h"
#include "tavi/tool/rss.h"

namespace tavi::tool {

namespace {

using Node = kiro::io::Xml::Node;

enum class Format { None, Rdf, Rss, Atom };

// The format named by the first element; declarations, processing instructions, a document
// type, end tags and text (a byte-order mark, stray characters) before it do not count.
Format formatOf(const kiro::io::Xml& document) {
    for (size_t i = 0; i < document.count(); ++i) {
        const std::wstring_view name = document.node(i).name;
        if (name.empty() || name.front() == L'?' || name.front() == L'!' || name.front() == L'/') continue;
        if (name == L"rdf:RDF") return Format::Rdf;
        if (name == L"rss") return Format::Rss;
        if (name == L"feed") return Format::Atom;
        return Format::None;
    }
    return Format::None;
}

// An attribute's value with its character references decoded; a value written in single
// quotes (which the reader keeps) loses them.
std::wstring attribute(const Node& node, const wchar_t* key, bool& present) {
    const auto found = node.attributes.find(key);
    present = found != node.attributes.end();
    if (!present) return {};
    std::wstring value = found->second;
    if (value.size() >= 2 && value.front() == L'\'' && value.back() == L'\'') value = value.substr(1, value.size() - 2);
    return kiro::io::Xml::decodeEntities(value);
}

// The field name of a text node directly inside an item ("title" for "rss.channel.item.title").
// Only the path's last links are looked at, so a deep document costs no more per node.
bool fieldOf(const Node& node, const std::wstring& item, std::wstring_view& field) {
    if (node.path.parent() != item) return false;
    field = node.path.name();
    return true;
}

// Atom lets an entry give several dates and links; the better one wins whatever the order,
// and of equal ones the last.
struct AtomChoice {
    int date = 0;  // 3 modified, 2 updated, 1 published
    int link = 0;  // 2 rel="alternate" or no rel, 1 any other rel
};

int atomDateRank(std::wstring_view field) {
    if (field == L"modified") return 3;
    if (field == L"updated") return 2;
    if (field == L"published") return 1;
    return 0;
}

}  // namespace

std::vector<FeedItem> extractFeedItems(const kiro::io::Xml& document) {
    std::vector<FeedItem> found;
    const Format format = formatOf(document);
    if (format == Format::None) return found;
    const bool atom = format == Format::Atom;
    const std::wstring item = format == Format::Rdf ? L"rdf:RDF.item" : atom ? L"feed.entry" : L"rss.channel.item";
    const wchar_t* const end = atom ? L"/entry" : L"/item";
    const wchar_t* const dateField = format == Format::Rdf ? L"dc:date" : L"pubDate";

    FeedItem current;
    AtomChoice choice;
    std::wstring_view field;
    for (size_t i = 0; i < document.count(); ++i) {
        const Node& node = document.node(i);
        if (!node.name.empty()) {
            if (node.name == end) {
                found.push_back(current);
            } else if (atom && node.name == L"entry" && node.path == L"feed") {
                choice = AtomChoice();
            } else if (atom && node.name == L"link" && node.path == item) {
                bool hasHref = false;
                bool hasRel = false;
                std::wstring href = attribute(node, L"href", hasHref);
                const std::wstring rel = attribute(node, L"rel", hasRel);
                const int rank = !hasRel || rel == L"alternate" ? 2 : 1;
                if (hasHref && rank >= choice.link) {
                    current.link = std::move(href);
                    choice.link = rank;
                }
            }
            continue;
        }
        if (!fieldOf(node, item, field)) continue;
        if (field == L"title") {
            current.title = node.text;
        } else if (atom) {
            const int rank = atomDateRank(field);
            if (field == L"summary") current.description = node.text;
            if (rank > 0 && rank >= choice.date) {
                current.date = node.text;
                choice.date = rank;
            }
        } else if (field == L"link") {
            current.link = node.text;
        } else if (field == L"description") {
            current.description = node.text;
        } else if (field == dateField) {
            current.date = node.text;
        }
    }
    return found;
}

size_t FeedCollection::merge(const std::vector<FeedItem>& found) {
    std::lock_guard<std::mutex> hold(lock_);
    size_t added = 0;
    for (const FeedItem& item : found) {
        if (!seen_.insert(item.title).second) continue;
        items_.push_back(item);
        ++added;
    }
    return added;
}

std::vector<FeedItem> FeedCollection::items() const {
    std::lock_guard<std::mutex> hold(lock_);
    return items_;
}

}  // namespace tavi::tool
