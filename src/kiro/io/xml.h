// A lenient markup reader for feeds and HTML-ish text: a flat list of nodes in document order,
// each carrying the dotted path of the elements around it. It never fails.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace kiro::io {

class Xml {
public:
    struct Node {
        // Start tag: the name as written; end tag: "/" + name; text node: empty.
        std::wstring name;
        // Text node only: the text with character references decoded (CDATA kept verbatim).
        std::wstring text;
        // Tags only; values are kept as written (no reference decoding).
        std::map<std::wstring, std::wstring> attributes;
        // Names of the open elements, outermost first, joined by ".".
        std::wstring path;
    };

    Xml() = default;
    // Decodes the bytes with character-set detection and parses them.
    Xml(const void* data, size_t size);
    virtual ~Xml() = default;

    // Parses a wide string and appends its nodes; each call starts with no element open.
    void parse(const std::wstring& text);

    size_t count() const { return nodes_.size(); }
    // The node at index, or an empty node when the index is out of range.
    const Node& node(size_t index) const { return index < nodes_.size() ? nodes_[index] : empty_; }

    // Character references and the named entities lt, gt, amp, quot, apos, nbsp, decoded in one
    // left-to-right pass; a no-break space (named or numeric) becomes a plain space.
    static std::wstring decodeEntities(const std::wstring& text);

private:
    std::vector<Node> nodes_;
    Node empty_;
};

}  // namespace kiro::io
