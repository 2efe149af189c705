// A lenient markup reader for feeds and HTML-ish text: a flat list of nodes in document order,
// each carrying the dotted path of the elements around it. It never fails.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "kiro/io/arena.h"

namespace kiro::io {

// The nodes' strings are the reader's own copies of the pieces, and every node's path is one
// link in a chain shared with the nodes around it (elements of one name under one parent share
// theirs), so memory stays proportional to the document whatever its shape. Everything a node
// points to stays valid as long as its reader (also once moved).
class Xml {
public:
    // Characters the reader owns; compares like a string view and converts to a wide string.
    class View : public std::wstring_view {
    public:
        constexpr View() noexcept = default;
        constexpr View(std::wstring_view text) noexcept : std::wstring_view(text) {}
        std::wstring str() const { return std::wstring(data(), size()); }
        operator std::wstring() const { return str(); }
    };

    // A tag's attributes ordered by key, each key once (a repeated key keeps its last value).
    class Attributes {
    public:
        using value_type = std::pair<View, View>;
        using const_iterator = const value_type*;

        const_iterator begin() const { return list_ == nullptr ? nullptr : list_->items; }
        const_iterator end() const { return list_ == nullptr ? nullptr : list_->items + list_->size; }
        size_t size() const { return list_ == nullptr ? 0 : list_->size; }
        bool empty() const { return size() == 0; }
        const_iterator find(std::wstring_view key) const;
        size_t count(std::wstring_view key) const { return find(key) != end() ? 1 : 0; }
        // The value of a key that is present; std::out_of_range otherwise.
        const View& at(std::wstring_view key) const;

    private:
        friend class Xml;
        struct List {
            const value_type* items;
            size_t size;
        };
        // Most tags have no attributes: a node holds one pointer, and a tag with some a list.
        const List* list_ = nullptr;
    };

    // The names of the open elements, outermost first, joined by "." ("rss.channel.item").
    // Comparing with a string costs the length of that string, however deep the path.
    class Path {
    public:
        Path() = default;
        bool empty() const { return link_ == nullptr; }
        // The length of the dotted text.
        size_t size() const { return link_ == nullptr ? 0 : link_->length; }
        // The innermost element, and the path of the elements around it.
        View name() const { return link_ == nullptr ? View() : link_->name; }
        Path parent() const { return Path(link_ == nullptr ? nullptr : link_->parent); }
        std::wstring str() const;
        operator std::wstring() const { return str(); }

        friend bool operator==(const Path& a, std::wstring_view b) { return a.equals(b); }
        friend bool operator==(std::wstring_view a, const Path& b) { return b.equals(a); }
        friend bool operator!=(const Path& a, std::wstring_view b) { return !a.equals(b); }
        friend bool operator!=(std::wstring_view a, const Path& b) { return !b.equals(a); }
        friend bool operator==(const Path& a, const Path& b) { return a.equals(b); }
        friend bool operator!=(const Path& a, const Path& b) { return !a.equals(b); }

    private:
        friend class Xml;
        struct Link {
            const Link* parent;
            std::wstring_view name;
            size_t length;
        };
        explicit Path(const Link* link) : link_(link) {}
        bool equals(std::wstring_view text) const;
        bool equals(const Path& other) const;

        const Link* link_ = nullptr;
    };

    struct Node {
        // Start tag: the name as written; end tag: "/" + name; text node: empty.
        View name;
        // Text node only: the text with character references decoded (CDATA kept verbatim).
        View text;
        // Tags only; values are kept as written (no reference decoding).
        Attributes attributes;
        // A start tag's path leaves out its own name; an end tag's still holds the element
        // it closes; a text node's ends with its enclosing element.
        Path path;
    };

    Xml() = default;
    // Decodes the bytes with character-set detection and parses them.
    Xml(const void* data, size_t size);
    Xml(const Xml&) = delete;
    Xml& operator=(const Xml&) = delete;
    Xml(Xml&&) noexcept = default;
    Xml& operator=(Xml&&) noexcept = default;
    virtual ~Xml() = default;

    // Parses a wide string and appends its nodes; each call starts with no element open.
    void parse(const std::wstring& text);

    size_t count() const { return count_; }
    // The node at index, or an empty node when the index is out of range.
    Node node(size_t index) const;

    // Character references and the named entities lt, gt, amp, quot, apos, nbsp, decoded in one
    // left-to-right pass; a no-break space (named or numeric) becomes a plain space.
    static std::wstring decodeEntities(const std::wstring& text);

private:
    // A node as kept: half a Node's size, which matters because a feed is mostly nodes.
    // It holds one string (a tag's name or a text node's text; a tag with attributes points to
    // its name and list together) and the innermost open element.
    struct Tagged {
        View name;
        Attributes::List attributes;
    };
    struct Record {
        enum : size_t { Text = 1, WithAttributes = 2, Flags = 2 };
        union {
            const wchar_t* chars;
            const Tagged* tagged;
        };
        size_t lengthAndFlags;  // the string's length, shifted past the flags
        const Path::Link* path;
    };

    // Reads wide text or UTF-8 bytes (Unit char); only the pieces that become nodes are kept,
    // copied into the arena. False, part way through, when the bytes are not plain UTF-8.
    template <typename Unit>
    bool read(std::basic_string_view<Unit> text);
    // A piece of the text as the arena's wide copy, with its references decoded if asked.
    template <typename Unit>
    View emit(std::basic_string_view<Unit> piece, bool references);
    Record& addRecord();

    // The records, in blocks of the arena: a list that grows never moves what it holds.
    static constexpr size_t BlockSize = 256;
    std::vector<Record*> blocks_;
    size_t count_ = 0;
    // Everything the nodes point to: their names, texts and values, attribute lists and path
    // links.
    Arena arena_;
};

}  // namespace kiro::io
