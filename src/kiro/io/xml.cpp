// The lenient markup reader: one pass over a wide text or over plain UTF-8 bytes, whose names,
// values and texts it copies (or decodes) into its arena, where their references are decoded
// in place (never longer than what they replace). The open elements are a chain of path links,
// one per parent and name.
#include "kiro/io/xml.h"

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <string_view>
#include <type_traits>
#include <utility>

#include "kiro/io/charset/charset.h"
#include "kiro/io/spellings.h"
#include "kiro/io/utf8.h"

namespace kiro::io {

namespace {

using Chars = std::wstring_view;
using namespace std::string_view_literals;  // literal views: no length scans at run time

template <typename Unit>
bool isSpace(Unit c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The fixed pieces of markup, in either kind of text.
template <typename Unit>
struct Marks;
template <>
struct Marks<wchar_t> {
    static constexpr std::wstring_view byteOrderMark = L"\xFEFF", commentStart = L"<!--", commentEnd = L"-->",
                                       cdataStart = L"<![CDATA[", cdataEnd = L"]]>", script = L"script",
                                       style = L"style", scriptEnd = L"</script>", styleEnd = L"</style>";
};
template <>
struct Marks<char> {
    static constexpr std::string_view byteOrderMark = "\xEF\xBB\xBF", commentStart = "<!--", commentEnd = "-->",
                                      cdataStart = "<![CDATA[", cdataEnd = "]]>", script = "script",
                                      style = "style", scriptEnd = "</script>", styleEnd = "</style>";
};

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

template <typename Text>
void trimBoth(Text& v) {
    while (!v.empty() && isSpace(v.front())) v.remove_prefix(1);
    while (!v.empty() && isSpace(v.back())) v.remove_suffix(1);
}

// Splits a tag's text at whitespace outside double quotes; the quotes stay in the tokens.
template <typename Text>
void tokenize(Text tag, std::vector<Text>& tokens) {
    tokens.clear();
    size_t i = 0;
    const size_t n = tag.size();
    while (i < n) {
        while (i < n && isSpace(tag[i])) ++i;
        if (i >= n) break;
        size_t start = i;
        bool quoted = false;
        for (; i < n; ++i) {
            const auto c = tag[i];
            if (c == '"') quoted = !quoted;
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
template <typename Unit>
struct EndTagSearch {
    using Text = std::basic_string_view<Unit>;
    Text endTag;
    size_t from = Text::npos;
    size_t found = Text::npos;

    size_t next(Text s, size_t pos) {
        if (from != Text::npos && pos >= from && (found == Text::npos || pos <= found)) return found;
        from = pos;
        found = s.find(endTag, pos);
        return found;
    }
};

// Checks that UTF-8 bytes are plain a window at a time, just ahead of the reader, so that they
// come from memory once: the check brings them into the cache, where the reader finds them.
// Wide text needs no check.
template <typename Unit>
class CheckAhead {
public:
    explicit CheckAhead(std::basic_string_view<Unit> text) : text_(text) {}

    // Whether the text before end is plain (a window beyond it is checked with it).
    bool through(size_t end) {
        if constexpr (std::is_same_v<Unit, char>) {
            if (end <= checked_) return true;
            size_t to = std::min(text_.size(), std::max(end, checked_ + Window));
            // A window ends before a character rather than inside it (a well-formed one has at
            // most three bytes after its first); bytes that are not well formed fail either way.
            for (int k = 0; k < 3 && to > end && to < text_.size() && isContinuation(text_[to]); ++k) --to;
            if (!utf8::isPlain(text_.data() + checked_, to - checked_)) return false;
            checked_ = to;
        }
        return true;
    }

private:
    static bool isContinuation(Unit c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

    static constexpr size_t Window = 64 << 10;
    std::basic_string_view<Unit> text_;
    size_t checked_ = 0;
};

// The path links of one parse, one per parent and name: every item of a feed opens its title
// under the same "rss.channel.item" link. Names are told apart by their views, which the
// spellings table makes one per spelling; a name it did not keep simply gets a link of its
// own. A document that keeps opening new paths fills the table once and then costs a link per
// start tag.
template <typename Link>
class LinkTable {
public:
    template <typename Make>
    const Link* get(const Link* parent, std::wstring_view name, Make make) {
        if (slots_.empty()) slots_.resize(Slots);
        const auto hash = static_cast<size_t>(
            (reinterpret_cast<uintptr_t>(parent) ^ (reinterpret_cast<uintptr_t>(name.data()) * 31) ^ name.size()) *
            0x9E3779B97F4A7C15ull >> 32);
        for (size_t i = hash & (Slots - 1);; i = (i + 1) & (Slots - 1)) {
            const Link*& slot = slots_[i];
            if (slot == nullptr) {
                const Link* link = make();
                if (kept_ < MostKept) {
                    ++kept_;
                    slot = link;
                }
                return link;
            }
            if (slot->parent == parent && slot->name.data() == name.data() && slot->name.size() == name.size())
                return slot;
        }
    }

private:
    static constexpr size_t Slots = 1024;  // a power of two, at most half full
    static constexpr size_t MostKept = Slots / 2;
    std::vector<const Link*> slots_;
    size_t kept_ = 0;
};

}  // namespace

Xml::Xml(const void* data, size_t size) {
    if (data == nullptr || size == 0) return;
    const auto* bytes = static_cast<const char*>(data);
    // decode() drops a byte-order mark and reads plain UTF-8 as it is: such bytes are read as
    // they stand, which gives the same nodes without a decoded copy of the whole document. The
    // reader checks them as it goes; bytes that turn out not to be plain are decoded first.
    const size_t mark = utf8::byteOrderMark(bytes, size);
    if (read(std::string_view(bytes + mark, size - mark))) return;
    blocks_.clear();
    count_ = 0;
    arena_ = Arena();
    parse(decode(data, size));
}

std::wstring Xml::decodeEntities(const std::wstring& text) {
    std::wstring out(text);
    out.resize(decodeInPlace(out.data(), out.size()));
    return out;
}

void Xml::parse(const std::wstring& text) { read(std::wstring_view(text)); }

Xml::Node Xml::node(size_t index) const {
    Node node;
    if (index >= count_) return node;
    const Record& record = blocks_[index / BlockSize][index % BlockSize];
    node.path = Path(record.path);
    if (record.lengthAndFlags & Record::WithAttributes) {
        node.name = record.tagged->name;
        node.attributes.list_ = &record.tagged->attributes;
        return node;
    }
    const View piece(Chars(record.chars, record.lengthAndFlags >> Record::Flags));
    if (record.lengthAndFlags & Record::Text) node.text = piece;
    else node.name = piece;
    return node;
}

Xml::Record& Xml::addRecord() {
    static_assert(std::is_trivially_destructible_v<Record>, "records are dropped with the arena");
    if (count_ % BlockSize == 0) blocks_.push_back(arena_.allocateArray<Record>(BlockSize));
    return blocks_.back()[count_++ % BlockSize];
}

template <typename Unit>
Xml::View Xml::emit(std::basic_string_view<Unit> piece, bool references) {
    if (piece.empty()) return View();
    // UTF-8 never takes fewer bytes than the wide text it decodes to.
    wchar_t* out = arena_.allocateArray<wchar_t>(piece.size());
    size_t length = piece.size();
    if constexpr (std::is_same_v<Unit, wchar_t>) std::copy(piece.begin(), piece.end(), out);
    else length = utf8::toWide(piece.data(), piece.size(), out);
    if (references) length = decodeInPlace(out, length);
    arena_.trimLast(out, piece.size() * sizeof(wchar_t), length * sizeof(wchar_t));
    return View(Chars(out, length));
}

template <typename Unit>
bool Xml::read(std::basic_string_view<Unit> s) {
    using Text = std::basic_string_view<Unit>;
    using M = Marks<Unit>;
    const size_t n = s.size();
    size_t pos = 0;
    if (s.substr(0, M::byteOrderMark.size()) == M::byteOrderMark) pos = M::byteOrderMark.size();

    const Path::Link* open = nullptr;  // the innermost open element
    CheckAhead<Unit> check(s);
    std::vector<Text> tokens;
    std::vector<Attribute> scratch;
    EndTagSearch<Unit> scriptEnd{M::scriptEnd}, styleEnd{M::styleEnd};
    Spellings<Unit> names;
    LinkTable<Path::Link> links;
    auto nameOf = [&](Text raw) { return View(names.get(raw, [&](Text piece) { return emit(piece, false); })); };

    auto addText = [&](Text text, bool references) {
        const View decoded = emit(text, references);
        Record& record = addRecord();
        record.chars = decoded.data();
        record.lengthAndFlags = decoded.size() << Record::Flags | Record::Text;
        record.path = open;
    };

    for (;;) {
        while (pos < n && isSpace(s[pos])) ++pos;
        if (pos >= n) break;
        if (!check.through(pos + 1)) return false;

        if (s[pos] != '<') {
            size_t end = s.find(Unit('<'), pos);
            if (end == Text::npos) end = n;
            if (!check.through(end)) return false;
            size_t length = end - pos;
            while (length > 0 && isSpace(s[pos + length - 1])) --length;
            addText(s.substr(pos, length), true);
            pos = end;
            continue;
        }

        Text here = s.substr(pos);
        if (here.substr(0, M::commentStart.size()) == M::commentStart) {
            size_t end = s.find(M::commentEnd, pos + 2);
            if (end == Text::npos) break;
            pos = end + M::commentEnd.size();
            continue;
        }
        if (here.substr(0, M::cdataStart.size()) == M::cdataStart) {
            const size_t from = pos + M::cdataStart.size();
            size_t end = s.find(M::cdataEnd, from);
            if (end == Text::npos) break;
            if (!check.through(end)) return false;
            Text content = s.substr(from, end - from);
            trimBoth(content);
            if (!content.empty()) addText(content, false);
            pos = end + M::cdataEnd.size();
            continue;
        }

        size_t close = s.find(Unit('>'), pos + 1);
        Text tag = close == Text::npos ? s.substr(pos + 1) : s.substr(pos + 1, close - pos - 1);
        pos = close == Text::npos ? n : close + 1;
        if (!check.through(pos)) return false;

        const bool selfClosed = !tag.empty() && tag.back() == '/';
        tokenize(tag, tokens);
        const Text rawName = tokens.empty() ? Text() : tokens.front();

        if (rawName == M::script || rawName == M::style) {
            // A self-closed one has no content to skip.
            if (selfClosed) continue;
            EndTagSearch<Unit>& search = rawName == M::script ? scriptEnd : styleEnd;
            size_t end = search.next(s, pos);
            if (end != Text::npos) pos = end + search.endTag.size();
            continue;
        }

        const View name = nameOf(rawName);
        Record& record = addRecord();
        record.chars = name.data();
        record.lengthAndFlags = name.size() << Record::Flags;
        record.path = open;

        size_t withValue = 0;
        for (size_t t = 1; t < tokens.size(); ++t) withValue += tokens[t].find(Unit('=')) != Text::npos;
        if (withValue > 0) {
            Attribute* items = arena_.allocateArray<Attribute>(withValue);
            size_t count = 0;
            for (size_t t = 1; t < tokens.size(); ++t) {
                Text token = tokens[t];
                size_t eq = token.find(Unit('='));
                if (eq == Text::npos) continue;
                Text value = token.substr(eq + 1);
                if (!value.empty() && value.front() == '"') value.remove_prefix(1);
                // The slash of a self-closing tag is never part of the last value.
                if (selfClosed && t + 1 == tokens.size() && !value.empty() && value.back() == '/')
                    value.remove_suffix(1);
                if (!value.empty() && value.back() == '"') value.remove_suffix(1);
                const View key = nameOf(token.substr(0, eq));
                new (items + count++) Attribute(key, emit(value, false));
            }
            record.tagged = new (arena_.allocateArray<Tagged>(1))
                Tagged{name, Attributes::List{items, sortAttributes(items, count, scratch)}};
            record.lengthAndFlags = Record::WithAttributes;
        }

        if (!name.empty() && name.front() == L'/') {
            if (open != nullptr) open = open->parent;
        } else if (!selfClosed && !opensNoElement(name)) {
            const size_t length = open == nullptr ? name.size() : open->length + 1 + name.size();
            open = links.get(open, name, [&] {
                return new (arena_.allocateArray<Path::Link>(1)) Path::Link{open, name, length};
            });
        }
    }
    // What follows an unclosed comment or CDATA section counts too.
    return check.through(n);
}

}  // namespace kiro::io
