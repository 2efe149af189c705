// The parser of json11w::Json: reads wide text, records the first error and gives null then.
// Everything one document is made of is placed in that document's arena (see jsonvalue.h).
// The same parser also reads well-formed UTF-8 bytes directly, turning only the strings into
// wide text, so a large file needs no decoded copy of the whole of it.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "kiro/io/json11/json11w.h"
#include "kiro/io/json11/jsonutf8.h"
#include "kiro/io/json11/jsonvalue.h"
#include "kiro/io/pages.h"
#include "kiro/io/spellings.h"
#include "kiro/io/utf8.h"

namespace json11w {
namespace {

// The text of a code unit in an error message: 'c' (99) for printable ASCII, else (12354).
std::wstring esc(wchar_t c) {
    const unsigned long code = static_cast<unsigned long>(c);
    wchar_t buffer[32];
    if (code >= 32 && code < 128)
        std::swprintf(buffer, 32, L"'%lc' (%lu)", static_cast<wint_t>(c), code);
    else
        std::swprintf(buffer, 32, L"(%lu)", code);
    return buffer;
}

bool isDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

int hexDigit(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

constexpr bool wideIsUtf32 = sizeof(wchar_t) == 4;

// A code unit of either kind of text as a wide character (a UTF-8 byte as its value).
inline wchar_t widen(wchar_t c) { return c; }
inline wchar_t widen(char c) { return static_cast<wchar_t>(static_cast<unsigned char>(c)); }

// Appends a run of string characters: wide units as they are, UTF-8 decoded.
void appendRun(std::wstring& out, const wchar_t* p, size_t n) { out.append(p, n); }
void appendRun(std::wstring& out, const char* p, size_t n) {
    const size_t old = out.size();
    out.resize(old + n);
    out.resize(old + kiro::io::utf8::toWide(p, n, &out[old]));
}

// Whether a string's UTF-8 bytes take no more room than its wide characters would: always with
// four-byte wide characters; with two-byte ones, when the text is mostly ASCII (Japanese takes
// three bytes a character in UTF-8).
bool utf8IsSmaller(std::string_view bytes) {
    if constexpr (sizeof(wchar_t) >= 4) return true;
    size_t units = 0;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        units += (b & 0xC0) != 0x80;  // a lead byte starts one character
        units += b >= 0xF0;           // which takes two units past U+FFFF
    }
    return bytes.size() <= units * sizeof(wchar_t);
}

// Converts a validated JSON number without regard to the C locale (a decimal comma locale
// must not change what a table says).
template <typename Unit>
double toDouble(const Unit* begin, const Unit* end) {
    // Every character is ASCII here; most numbers fit the buffer on the stack.
    char buffer[64] = {};
    const size_t length = static_cast<size_t>(end - begin);
    if (length < sizeof buffer) {
        for (size_t k = 0; k < length; ++k) buffer[k] = static_cast<char>(begin[k]);
        double value = 0.0;
        auto result = std::from_chars(buffer, buffer + length, value);
        if (result.ec != std::errc::result_out_of_range) return value;
    }
    std::string narrow;
    for (const Unit* p = begin; p != end; ++p) narrow += static_cast<char>(*p);
    double value = 0.0;
    auto result = std::from_chars(narrow.data(), narrow.data() + narrow.size(), value);
    if (result.ec != std::errc::result_out_of_range) return value;
    // Out of range: overflow gives infinity, underflow zero, as strtod does. The magnitude
    // is the exponent plus the place of the first significant digit.
    const bool negative = narrow[0] == '-';
    long magnitude = 0;
    size_t e = narrow.find_first_of("eE");
    if (e != std::string::npos) {
        const char* p = narrow.data() + e + 1;
        if (*p == '+') ++p;
        // Saturate: the exponent may have any number of digits.
        bool minus = *p == '-';
        if (minus) ++p;
        for (; *p; ++p) magnitude = std::min(magnitude * 10 + (*p - '0'), 100000L);
        if (minus) magnitude = -magnitude;
    }
    const std::string mantissa = narrow.substr(0, e);
    size_t dot = mantissa.find('.');
    size_t first = mantissa.find_first_of("123456789");
    if (dot == std::string::npos) dot = mantissa.size();
    magnitude += first < dot ? static_cast<long>(dot - first) : -static_cast<long>(first - dot);
    const double big = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -big : big;
}

// The order of Json::KeyLess as one comparison: negative, zero or positive.
int compareKeys(std::wstring_view a, std::wstring_view b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t k = 0; k < n; ++k) {
        if (a[k] != b[k]) return static_cast<unsigned long>(a[k]) < static_cast<unsigned long>(b[k]) ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

}  // namespace

// Reads wide text (Unit = wchar_t) or well-formed UTF-8 (Unit = char). The error messages
// name wide characters; for UTF-8 they are only meant to be thrown away (see jsonutf8.h).
template <typename Unit>
class JsonParser {
public:
    JsonParser(std::basic_string_view<Unit> text, std::wstring& error)
        : str(text), err(error), document(std::make_shared<DocumentArena>()), arena(document.get()) {}
    JsonParser(const JsonParser&) = delete;
    JsonParser& operator=(const JsonParser&) = delete;

    const std::basic_string_view<Unit> str;
    size_t i = 0;
    std::wstring& err;
    bool failed = false;
    const std::shared_ptr<DocumentArena> document;
    DocumentArena* const arena;
    // Elements and members gather on stacks shared by all levels, so each array and object
    // is made once at its final size.
    template <typename T>
    using Stack = std::vector<T, kiro::io::pages::Allocator<T>>;
    Stack<Json> elements;
    Stack<JsonParsedObject::Member> members;
    struct Place {
        std::wstring_view key;
        size_t index;
    };
    Stack<Place> order;
    std::vector<size_t> runs;
    // Objects with more members than this are sorted by merging, on copies of their keys.
    static constexpr size_t SmallObject = 16;
    Stack<wchar_t> keyCopies;
    std::wstring scratch;
    kiro::io::Spellings<Unit> keys;

    // The whole text as one value, which holds the document; null after a failure.
    Json parseDocument() {
        Json result = parseJson(0);
        skipWhitespace();
        if (failed) return Json();
        if (i != str.size()) return fail(L"unexpected trailing " + esc(widen(str[i])));
        return Json(result.shared());
    }

private:
    template <typename T, typename... Args>
    Json make(Args&&... args) {
        return Json::borrow(arena->make<T>(std::forward<Args>(args)...));
    }

    Json fail(std::wstring message) {
        if (!failed) err = std::move(message);
        failed = true;
        return Json();
    }

    wchar_t at(size_t k) const { return k < str.size() ? widen(str[k]) : 0; }

    // Up to count units from pos, as wide characters, for a message.
    std::wstring excerpt(size_t pos, size_t count) const {
        std::wstring out;
        for (size_t k = pos; k < str.size() && k < pos + count; ++k) out += widen(str[k]);
        return out;
    }

    void skipWhitespace() {
        const size_t n = str.size();
        while (i < n) {
            const Unit c = str[i];
            if (c != ' ' && c != '\r' && c != '\n' && c != '\t') break;
            ++i;
        }
    }

    // The next character after white space; 0, with the error recorded, at the end.
    wchar_t nextToken() {
        skipWhitespace();
        if (i == str.size()) {
            fail(L"unexpected end of input");
            return 0;
        }
        return widen(str[i++]);
    }

    // The end of the run of characters a string holds as they are.
    size_t plainRun(size_t from) const {
        const size_t n = str.size();
        const Unit* s = str.data();
        while (from < n) {
            const wchar_t c = widen(s[from]);
            if (c == L'"' || c == L'\\' || static_cast<unsigned long>(c) < 0x20) break;
            ++from;
        }
        return from;
    }

    // Whether the run [from, to) of a string's plain characters may be read as text: UTF-8 is
    // checked here, as the parser meets it, and only here, since every other part of a JSON
    // text is ASCII that the grammar checks.
    bool wellFormed(size_t from, size_t to) {
        if constexpr (std::is_same_v<Unit, char>) {
            if (!kiro::io::utf8::isPlain(str.data() + from, to - from)) {
                fail(L"malformed UTF-8 in Json::t_string");
                return false;
            }
        }
        return true;
    }

    // After a string's opening quote: where its closing quote is when nothing comes before it
    // but plain characters (no escape); npos otherwise.
    size_t escapeFreeEnd() const {
        const size_t end = plainRun(i);
        return end < str.size() && str[end] == '"' ? end : std::string_view::npos;
    }

    // After the opening quote: the string's characters, kept in the document's arena. A
    // string without escapes goes there straight from the text.
    std::wstring_view parseStringToArena() {
        const size_t end = escapeFreeEnd();
        if (end == std::string_view::npos) return arena->memory.copy(parseString());
        const size_t n = end - i;
        if (n == 0) {
            i = end + 1;
            return {};
        }
        if (!wellFormed(i, end)) return {};
        // n units of UTF-8 never make more than n wide units.
        wchar_t* out = arena->memory.allocateArray<wchar_t>(n);
        size_t made = n;
        if constexpr (std::is_same_v<Unit, wchar_t>) std::copy(str.data() + i, str.data() + end, out);
        else made = kiro::io::utf8::toWide(str.data() + i, n, out);
        arena->memory.trimLast(out, n * sizeof(wchar_t), made * sizeof(wchar_t));
        i = end + 1;
        return {out, made};
    }

    // An object's key, after its opening quote: tables repeat their keys in every object, so
    // one without escapes is kept once per spelling.
    std::wstring_view parseKey() {
        const size_t end = escapeFreeEnd();
        if (end == std::string_view::npos) return parseStringToArena();
        const std::wstring_view key = keys.get(str.substr(i, end - i), [this](auto) { return parseStringToArena(); });
        i = end + 1;
        return key;
    }

    // After the opening quote: the string's characters in scratch, escapes resolved.
    std::wstring_view parseString() {
        const size_t n = str.size();
        const Unit* s = str.data();
        std::wstring& out = scratch;
        out.clear();
        while (true) {
            // Copy the run of plain characters in one go.
            const size_t run = plainRun(i);
            if (!wellFormed(i, run)) return {};
            appendRun(out, s + i, run - i);
            i = run;
            if (i == n) {
                fail(L"unexpected end of input in Json::t_string");
                return {};
            }
            const wchar_t ch = widen(s[i++]);
            if (ch == L'"') return out;
            if (ch != L'\\') {
                fail(L"unescaped " + esc(ch) + L" in Json::t_string");
                return {};
            }
            if (i == n) {
                fail(L"unexpected end of input in Json::t_string");
                return {};
            }
            const wchar_t e = widen(s[i++]);
            switch (e) {
                case L'b': out += L'\b'; break;
                case L'f': out += L'\f'; break;
                case L'n': out += L'\n'; break;
                case L'r': out += L'\r'; break;
                case L't': out += L'\t'; break;
                case L'"':
                case L'\\':
                case L'/': out += e; break;
                case L'u': {
                    const int unit = parseHex4();
                    if (unit < 0) return {};
                    appendUnit(out, static_cast<unsigned>(unit));
                    break;
                }
                default: fail(L"invalid escape character " + esc(e)); return {};
            }
        }
    }

    // The four digits of a \u escape as a code unit, or -1 after recording the error.
    int parseHex4() {
        const size_t available = std::min<size_t>(4, str.size() - i);
        int unit = 0;
        bool ok = available == 4;
        for (size_t k = 0; ok && k < 4; ++k) {
            const int d = hexDigit(widen(str[i + k]));
            if (d < 0) ok = false;
            unit = unit * 16 + d;
        }
        if (!ok) {
            fail(L"bad \\u escape: " + excerpt(i, available));
            return -1;
        }
        i += 4;
        return unit;
    }

    // Wide strings of whole code points join an escaped surrogate pair into one character;
    // with two-byte units the pair is simply the two units. A lone surrogate is kept as the
    // unit it names.
    static void appendUnit(std::wstring& out, unsigned unit) {
        if (wideIsUtf32 && unit >= 0xDC00 && unit <= 0xDFFF && !out.empty()) {
            const unsigned high = static_cast<unsigned>(out.back());
            if (high >= 0xD800 && high <= 0xDBFF) {
                out.back() = static_cast<wchar_t>(0x10000 + ((high - 0xD800) << 10) + (unit - 0xDC00));
                return;
            }
        }
        out += static_cast<wchar_t>(unit);
    }

    Json parseNumber() {
        const size_t start = i;
        if (at(i) == L'-') ++i;
        if (at(i) == L'0') {
            ++i;
            if (isDigit(at(i))) return fail(L"leading 0s not permitted in numbers");
        } else if (at(i) >= L'1' && at(i) <= L'9') {
            ++i;
            while (isDigit(at(i))) ++i;
        } else {
            return fail(L"invalid " + esc(at(i)) + L" in number");
        }
        if (at(i) != L'.' && at(i) != L'e' && at(i) != L'E' && i - start <= 9) {
            int value = 0;
            bool negative = str[start] == '-';
            for (size_t k = start + (negative ? 1 : 0); k < i; ++k) value = value * 10 + (str[k] - '0');
            if (negative) value = -value;
            if (value >= 0 && value < SharedInts) return Json::borrow(sharedInt(value));
            return make<JsonInt>(value);
        }
        if (at(i) == L'.') {
            ++i;
            if (!isDigit(at(i))) return fail(L"at least one digit required in fractional part");
            while (isDigit(at(i))) ++i;
        }
        if (at(i) == L'e' || at(i) == L'E') {
            ++i;
            if (at(i) == L'+' || at(i) == L'-') ++i;
            if (!isDigit(at(i))) return fail(L"at least one digit required in exponent");
            while (isDigit(at(i))) ++i;
        }
        return make<JsonDouble>(toDouble(str.data() + start, str.data() + i));
    }

    // A literal whose first character was just taken.
    Json expect(std::wstring_view literal, Json value) {
        --i;
        size_t k = 0;
        while (k < literal.size() && at(i + k) == literal[k]) ++k;
        if (k == literal.size()) {
            i += literal.size();
            return value;
        }
        return fail(L"parse error: expected " + std::wstring(literal) + L", got " + excerpt(i, literal.size()));
    }

    Json parseJson(int depth) {
        if (depth > Json::MaxDepth) return fail(L"exceeded maximum nesting depth");
        wchar_t ch = nextToken();
        if (failed) return Json();

        if (ch == L'-' || isDigit(ch)) {
            --i;
            return parseNumber();
        }
        if (ch == L't') return expect(L"true", Json::borrow(sharedBool(true)));
        if (ch == L'f') return expect(L"false", Json::borrow(sharedBool(false)));
        if (ch == L'n') return expect(L"null", Json::borrow(sharedNull()));
        if (ch == L'"') {
            if constexpr (std::is_same_v<Unit, char>) {
                const size_t end = escapeFreeEnd();
                if (end != std::string_view::npos && end > i && utf8IsSmaller(str.substr(i, end - i))) {
                    if (!wellFormed(i, end)) return Json();
                    char* bytes = arena->memory.allocateArray<char>(end - i);
                    std::copy(str.data() + i, str.data() + end, bytes);
                    const std::string_view text(bytes, end - i);
                    i = end + 1;
                    return make<JsonParsedUtf8String>(text);
                }
            }
            std::wstring_view s = parseStringToArena();
            if (failed) return Json();
            return make<JsonParsedString>(s);
        }
        if (ch == L'[') {
            ch = nextToken();
            if (failed) return Json();
            if (ch == L']') return make<JsonParsedArray>(nullptr, 0);
            const size_t mark = elements.size();
            while (true) {
                --i;
                elements.push_back(parseJson(depth + 1));
                if (failed) return Json();
                ch = nextToken();
                if (failed) return Json();
                if (ch == L']') break;
                if (ch != L',') return fail(L"expected ',' in list, got " + esc(ch));
                nextToken();
                if (failed) return Json();
            }
            const size_t count = elements.size() - mark;
            Json* items = arena->memory.allocateArray<Json>(count);
            for (size_t k = 0; k < count; ++k) new (items + k) Json(std::move(elements[mark + k]));
            elements.resize(mark);
            return make<JsonParsedArray>(items, count);
        }
        if (ch == L'{') {
            ch = nextToken();
            if (failed) return Json();
            const size_t mark = members.size();
            if (ch != L'}') {
                while (true) {
                    if (ch != L'"') return fail(L"expected '\"' in t_object, got " + esc(ch));
                    const std::wstring_view key = parseKey();
                    if (failed) return Json();
                    ch = nextToken();
                    if (failed) return Json();
                    if (ch != L':') return fail(L"expected ':' in t_object, got " + esc(ch));
                    Json value = parseJson(depth + 1);
                    if (failed) return Json();
                    members.push_back({key, std::move(value)});
                    ch = nextToken();
                    if (failed) return Json();
                    if (ch == L'}') break;
                    if (ch != L',') return fail(L"expected ',' in t_object, got " + esc(ch));
                    ch = nextToken();
                    if (failed) return Json();
                }
            }
            return makeObject(mark);
        }
        return fail(L"expected value, got " + esc(ch));
    }

    // Orders the places by key, then place. Numbered keys (name_0 … name_9, name_10 … name_99,
    // …) come in a few ascending runs, which are merged pairwise rather than sorted whole.
    void sortPlaces() {
        const auto before = [](const Place& a, const Place& b) {
            const int c = compareKeys(a.key, b.key);
            return c < 0 || (c == 0 && a.index < b.index);
        };
        if (order.size() <= SmallObject) {
            // Most objects are this small: sorting them in place costs less than merging.
            for (size_t k = 1; k < order.size(); ++k) {
                const Place place = order[k];
                size_t j = k;
                for (; j > 0 && before(place, order[j - 1]); --j) order[j] = order[j - 1];
                order[j] = place;
            }
            return;
        }
        runs.clear();
        runs.push_back(0);
        for (size_t k = 1; k < order.size(); ++k) {
            if (before(order[k], order[k - 1])) runs.push_back(k);
        }
        if (runs.size() > 16) {
            std::sort(order.begin(), order.end(), before);
            return;
        }
        runs.push_back(order.size());
        while (runs.size() > 2) {
            size_t kept = 0;
            for (size_t r = 0; r + 2 < runs.size(); r += 2) {
                std::inplace_merge(order.begin() + static_cast<std::ptrdiff_t>(runs[r]),
                                   order.begin() + static_cast<std::ptrdiff_t>(runs[r + 1]),
                                   order.begin() + static_cast<std::ptrdiff_t>(runs[r + 2]), before);
                runs[kept++] = runs[r];
            }
            if (runs.size() % 2 == 0) runs[kept++] = runs[runs.size() - 2];
            runs[kept++] = runs.back();
            runs.resize(kept);
        }
    }

    // The members from mark on, ordered by key with the last of each key kept, moved into
    // the arena as one object.
    Json makeObject(size_t mark) {
        const auto first = members.begin() + static_cast<std::ptrdiff_t>(mark);
        const size_t n = static_cast<size_t>(members.end() - first);
        auto* run = arena->memory.allocateArray<JsonParsedObject::Member>(n);
        const Json::KeyLess less;
        size_t count = 0;
        // Tables list their keys in order more often than not.
        bool sorted = true;
        for (size_t k = 1; k < n && sorted; ++k) sorted = !less(first[k].key, first[k - 1].key);
        if (sorted) {
            for (size_t k = 0; k < n; ++k) {
                if (k + 1 < n && first[k + 1].key == first[k].key) continue;  // a later one wins
                new (run + count++) JsonParsedObject::Member(std::move(first[k]));
            }
        } else {
            // Sort small records, not the members: the place breaks ties, so the last of equal
            // keys is found last.
            order.clear();
            if (n <= SmallObject) {
                for (size_t k = 0; k < n; ++k) order.push_back({first[k].key, k});
            } else {
                // A large object's keys lie far apart in the arena, among the values: copied
                // side by side first, the many comparisons of the sort find them in the cache.
                size_t total = 0;
                for (size_t k = 0; k < n; ++k) total += first[k].key.size();
                keyCopies.resize(total);
                wchar_t* at = keyCopies.data();
                for (size_t k = 0; k < n; ++k) {
                    const std::wstring_view key = first[k].key;
                    std::copy(key.begin(), key.end(), at);
                    order.push_back({std::wstring_view(at, key.size()), k});
                    at += key.size();
                }
            }
            sortPlaces();
            for (size_t k = 0; k < n; ++k) {
                if (k + 1 < n && order[k + 1].key == order[k].key) continue;
                new (run + count++) JsonParsedObject::Member(std::move(first[order[k].index]));
            }
        }
        members.resize(mark);
        return make<JsonParsedObject>(run, count);
    }
};

Json Json::parse(const std::wstring& in, std::wstring& err) {
    err.clear();
    return JsonParser<wchar_t>(in, err).parseDocument();
}

bool parseWellFormedUtf8(const char* data, size_t size, Json& out) {
    std::wstring error;
    Json result = JsonParser<char>(std::string_view(data, size), error).parseDocument();
    if (!error.empty()) return false;
    out = std::move(result);
    return true;
}

}  // namespace json11w
