// The lenient markup reader: one pass over a text the reader keeps. Names, attribute values and
// texts are views into it (references are decoded in place, never longer than what they
// replace), and the open elements are a chain of path links, one per start tag.
#include "kiro/io/xml.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <stdexcept>
#include <utility>

#include "kiro/io/charset/charset.h"

namespace kiro::io {

namespace {

using Chars = std::wstring_view;
using namespace std::string_view_literals;  // literal views: no length scans at run time

bool isSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

// Writes a code point at out; returns the number of units written.
size_t putCodePoint(wchar_t* out, uint32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            out[0] = static_cast<wchar_t>(0xD800 + (cp >> 10));
            out[1] = static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return 2;
        }
    }
    out[0] = static_cast<wchar_t>(cp);
    return 1;
}

int digitValue(wchar_t c, bool hex) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (hex && c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (hex && c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Reads a reference that starts at s[at] == '&'. On success stores the code point and the
// length of the reference (ampersand to semicolon) and returns true. A reference is never
// shorter than what it decodes to, so decoding can write over the text it reads.
bool readReference(Chars s, size_t at, uint32_t& cp, size_t& length) {
    size_t i = at + 1;
    if (i < s.size() && s[i] == L'#') {
        ++i;
        bool hex = i < s.size() && (s[i] == L'x' || s[i] == L'X');
        if (hex) ++i;
        size_t first = i;
        uint32_t value = 0;
        bool tooLarge = false;
        for (int d; i < s.size() && (d = digitValue(s[i], hex)) >= 0; ++i) {
            value = value * (hex ? 16 : 10) + static_cast<uint32_t>(d);
            if (value > 0x10FFFF) {
                tooLarge = true;
                value = 0x110000;  // stays out of range without overflowing
            }
        }
        if (i == first || i >= s.size() || s[i] != L';') return false;
        if (tooLarge || value == 0 || (value >= 0xD800 && value <= 0xDFFF)) return false;
        cp = value == 0xA0 ? L' ' : value;
        length = i + 1 - at;
        return true;
    }
    static const std::pair<Chars, wchar_t> named[] = {
        {L"lt;"sv, L'<'},   {L"gt;"sv, L'>'},     {L"amp;"sv, L'&'},
        {L"quot;"sv, L'"'}, {L"apos;"sv, L'\''}, {L"nbsp;"sv, L' '},
    };
    Chars rest = s.substr(i);
    for (const auto& [spelling, c] : named) {
        if (rest.substr(0, spelling.size()) == spelling) {
            cp = static_cast<uint32_t>(c);
            length = 1 + spelling.size();
            return true;
        }
    }
    return false;
}

// Decodes the references in p[0, n) in place and returns the decoded length.
size_t decodeInPlace(wchar_t* p, size_t n) {
    const wchar_t* first = std::wmemchr(p, L'&', n);
    if (first == nullptr) return n;
    const Chars s(p, n);
    size_t r = static_cast<size_t>(first - p);
    size_t w = r;
    while (r < n) {
        if (p[r] != L'&') {
            p[w++] = p[r++];
            continue;
        }
        uint32_t cp = 0;
        size_t length = 0;
        if (readReference(s, r, cp, length)) {
            // Everything from r on is still unread text: only p[0, w) has been written.
            w += putCodePoint(p + w, cp);
            r += length;
        } else {
            p[w++] = p[r++];
        }
    }
    return w;
}

void trimBoth(Chars& v) {
    while (!v.empty() && isSpace(v.front())) v.remove_prefix(1);
    while (!v.empty() && isSpace(v.back())) v.remove_suffix(1);
}

// Splits a tag's text at whitespace outside double quotes; the quotes stay in the tokens.
void tokenize(Chars tag, std::vector<Chars>& tokens) {
    tokens.clear();
    size_t i = 0;
    const size_t n = tag.size();
    while (i < n) {
        while (i < n && isSpace(tag[i])) ++i;
        if (i >= n) break;
        size_t start = i;
        bool quoted = false;
        for (; i < n; ++i) {
            wchar_t c = tag[i];
            if (c == L'"') quoted = !quoted;
            else if (!quoted && isSpace(c)) break;
        }
        tokens.push_back(tag.substr(start, i - start));
    }
}

using Attribute = Xml::Attributes::value_type;

bool keyLess(const Attribute& a, const Attribute& b) { return a.first.compare(b.first) < 0; }

// Orders a tag's attributes by key, keeping only the last of each key. Tags have a handful;
// a stable insertion sort needs no buffer, and a hostile tag with thousands is merged instead.
size_t sortAttributes(Attribute* items, size_t n, std::vector<Attribute>& scratch) {
    if (n <= 32) {
        for (size_t i = 1; i < n; ++i) {
            Attribute item = items[i];
            size_t j = i;
            for (; j > 0 && keyLess(item, items[j - 1]); --j) items[j] = items[j - 1];
            items[j] = item;
        }
    } else {
        scratch.assign(items, items + n);
        std::stable_sort(scratch.begin(), scratch.end(), keyLess);
        std::copy(scratch.begin(), scratch.end(), items);
    }
    size_t kept = 0;
    for (size_t i = 0; i < n; ++i) {
        if (i + 1 < n && items[i + 1].first == items[i].first) continue;  // a later one wins
        items[kept++] = items[i];
    }
    return kept;
}

bool opensNoElement(Chars name) {
    return name.empty() || name.front() == L'?' || name.front() == L'!' || name == L"br"sv ||
           name == L"img"sv || name == L"meta"sv;
}

// Where the end tag of a skipped element lies. The reader moves forward only, so one search
// answers every later question asked from before the place it found (or from anywhere, when
// it found none): a document full of unclosed script tags is still read in one pass.
struct EndTagSearch {
    Chars endTag;
    size_t from = Chars::npos;
    size_t found = Chars::npos;

    size_t next(Chars s, size_t pos) {
        if (from != Chars::npos && pos >= from && (found == Chars::npos || pos <= found)) return found;
        from = pos;
        found = s.find(endTag, pos);
        return found;
    }
};

}  // namespace

Xml::Attributes::const_iterator Xml::Attributes::find(std::wstring_view key) const {
    size_t low = 0, high = size_;
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        const int order = items_[mid].first.compare(key);
        if (order == 0) return items_ + mid;
        if (order < 0) low = mid + 1;
        else high = mid;
    }
    return end();
}

const Xml::View& Xml::Attributes::at(std::wstring_view key) const {
    const_iterator it = find(key);
    if (it == end()) throw std::out_of_range("no such attribute");
    return it->second;
}

std::wstring Xml::Path::str() const {
    std::wstring out(size(), L'.');
    for (const Link* link = link_; link != nullptr; link = link->parent) {
        const size_t start = link->length - link->name.size();
        out.replace(start, link->name.size(), link->name);
    }
    return out;
}

bool Xml::Path::equals(std::wstring_view text) const {
    if (size() != text.size()) return false;
    // The lengths agree, so every name has its place in the text: compare from the end.
    for (const Link* link = link_; link != nullptr; link = link->parent) {
        const size_t start = link->length - link->name.size();
        if (text.compare(start, link->name.size(), link->name) != 0) return false;
        if (link->parent != nullptr && text[start - 1] != L'.') return false;
    }
    return true;
}

bool Xml::Path::equals(const Path& other) const {
    const Link* a = link_;
    const Link* b = other.link_;
    if ((a == nullptr ? 0 : a->length) != (b == nullptr ? 0 : b->length)) return false;
    // Names may hold dots themselves, so equal texts can be split differently: compare the
    // two texts from the end, one name's characters at a time.
    size_t i = a == nullptr ? 0 : a->name.size();
    size_t j = b == nullptr ? 0 : b->name.size();
    while (a != nullptr && b != nullptr) {
        if (a == b) return true;
        const wchar_t ca = i > 0 ? a->name[i - 1] : L'.';
        const wchar_t cb = j > 0 ? b->name[j - 1] : L'.';
        if (ca != cb) return false;
        if (i > 0) --i;
        else if ((a = a->parent) != nullptr) i = a->name.size();
        if (j > 0) --j;
        else if ((b = b->parent) != nullptr) j = b->name.size();
    }
    return a == b;
}

Xml::Xml(const void* data, size_t size) {
    if (data == nullptr || size == 0) return;
    auto text = std::make_unique<std::wstring>(decode(data, size));
    texts_.push_back(std::move(text));
    parseOwned(*texts_.back());
}

std::wstring Xml::decodeEntities(const std::wstring& text) {
    std::wstring out(text);
    out.resize(decodeInPlace(out.data(), out.size()));
    return out;
}

void Xml::parse(const std::wstring& text) {
    texts_.push_back(std::make_unique<std::wstring>(text));
    parseOwned(*texts_.back());
}

void Xml::parseOwned(std::wstring& source) {
    wchar_t* const base = source.data();
    const Chars s(source);
    const size_t n = s.size();
    size_t pos = 0;
    if (n > 0 && s[0] == L'\xFEFF') pos = 1;  // a byte-order mark is not content

    // Feeds run to a node every few dozen characters; the vector grows from there if needed.
    nodes_.reserve(nodes_.size() + n / 32);

    const Path::Link* open = nullptr;  // the innermost open element
    std::vector<Chars> tokens;
    std::vector<Attribute> scratch;
    EndTagSearch scriptEnd{L"</script>"sv}, styleEnd{L"</style>"sv};

    auto addText = [&](Chars text) {
        Node& node = nodes_.emplace_back();
        node.text = text;
        node.path = Path(open);
    };

    for (;;) {
        while (pos < n && isSpace(s[pos])) ++pos;
        if (pos >= n) break;

        if (s[pos] != L'<') {
            size_t end = s.find(L'<', pos);
            if (end == Chars::npos) end = n;
            size_t length = end - pos;
            while (length > 0 && isSpace(s[pos + length - 1])) --length;
            // Nothing else points into a text's characters, so they are decoded where they are.
            addText(Chars(base + pos, decodeInPlace(base + pos, length)));
            pos = end;
            continue;
        }

        Chars here = s.substr(pos);
        if (here.substr(0, 4) == L"<!--"sv) {
            size_t end = s.find(L"-->"sv, pos + 2);
            if (end == Chars::npos) break;
            pos = end + 3;
            continue;
        }
        if (here.substr(0, 9) == L"<![CDATA["sv) {
            size_t end = s.find(L"]]>"sv, pos + 9);
            if (end == Chars::npos) break;
            Chars content = s.substr(pos + 9, end - pos - 9);
            trimBoth(content);
            if (!content.empty()) addText(content);
            pos = end + 3;
            continue;
        }

        size_t close = s.find(L'>', pos + 1);
        Chars tag = close == Chars::npos ? s.substr(pos + 1) : s.substr(pos + 1, close - pos - 1);
        pos = close == Chars::npos ? n : close + 1;

        const bool selfClosed = !tag.empty() && tag.back() == L'/';
        tokenize(tag, tokens);
        Chars name = tokens.empty() ? Chars() : tokens.front();

        if (name == L"script"sv || name == L"style"sv) {
            // A self-closed one has no content to skip.
            if (selfClosed) continue;
            EndTagSearch& search = name == L"script"sv ? scriptEnd : styleEnd;
            size_t end = search.next(s, pos);
            if (end != Chars::npos) pos = end + search.endTag.size();
            continue;
        }

        Node& node = nodes_.emplace_back();
        node.name = name;
        node.path = Path(open);

        size_t withValue = 0;
        for (size_t t = 1; t < tokens.size(); ++t) withValue += tokens[t].find(L'=') != Chars::npos;
        if (withValue > 0) {
            Attribute* items = arena_.allocateArray<Attribute>(withValue);
            size_t count = 0;
            for (size_t t = 1; t < tokens.size(); ++t) {
                Chars token = tokens[t];
                size_t eq = token.find(L'=');
                if (eq == Chars::npos) continue;
                Chars value = token.substr(eq + 1);
                if (!value.empty() && value.front() == L'"') value.remove_prefix(1);
                // The slash of a self-closing tag is never part of the last value.
                if (selfClosed && t + 1 == tokens.size() && !value.empty() && value.back() == L'/')
                    value.remove_suffix(1);
                if (!value.empty() && value.back() == L'"') value.remove_suffix(1);
                new (items + count++) Attribute(token.substr(0, eq), value);
            }
            node.attributes.items_ = items;
            node.attributes.size_ = sortAttributes(items, count, scratch);
        }

        if (!name.empty() && name.front() == L'/') {
            if (open != nullptr) open = open->parent;
        } else if (!selfClosed && !opensNoElement(name)) {
            const size_t length = open == nullptr ? name.size() : open->length + 1 + name.size();
            open = new (arena_.allocateArray<Path::Link>(1)) Path::Link{open, name, length};
        }
    }
}

}  // namespace kiro::io
