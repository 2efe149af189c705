// The parser of json11w::Json: reads wide text, records the first error and gives null then.
// Everything one document is made of is placed in that document's arena (see jsonvalue.h).
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "kiro/io/json11/json11w.h"
#include "kiro/io/json11/jsonvalue.h"

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

// Converts a validated JSON number without regard to the C locale (a decimal comma locale
// must not change what a table says).
double toDouble(const wchar_t* begin, const wchar_t* end) {
    // Every character is ASCII here; most numbers fit the buffer on the stack.
    char buffer[64] = {};
    const size_t length = static_cast<size_t>(end - begin);
    if (length < sizeof buffer) {
        std::copy(begin, end, buffer);
        double value = 0.0;
        auto result = std::from_chars(buffer, buffer + length, value);
        if (result.ec != std::errc::result_out_of_range) return value;
    }
    std::string narrow(begin, end);
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

}  // namespace

class JsonParser {
public:
    JsonParser(const std::wstring& text, std::wstring& error)
        : str(text), err(error), arena(new DocumentArena()) {}
    ~JsonParser() { arena->finish(); }
    JsonParser(const JsonParser&) = delete;
    JsonParser& operator=(const JsonParser&) = delete;

    const std::wstring& str;
    size_t i = 0;
    std::wstring& err;
    bool failed = false;
    DocumentArena* arena;
    // Elements and members gather on stacks shared by all levels, so each array and object
    // is made once at its final size.
    std::vector<Json> elements;
    std::vector<JsonParsedObject::Member> members;
    std::wstring scratch;

    template <typename T, typename... Args>
    Json make(Args&&... args) {
        return Json(std::allocate_shared<T>(DocumentAllocator<T>(arena), std::forward<Args>(args)...));
    }

    Json fail(std::wstring message) {
        if (!failed) err = std::move(message);
        failed = true;
        return Json();
    }

    void skipWhitespace() {
        const size_t n = str.size();
        while (i < n) {
            const wchar_t c = str[i];
            if (c != L' ' && c != L'\r' && c != L'\n' && c != L'\t') break;
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
        return str[i++];
    }

    // The end of the run of characters a string holds as they are.
    size_t plainRun(size_t from) const {
        const size_t n = str.size();
        const wchar_t* s = str.data();
        while (from < n) {
            const wchar_t c = s[from];
            if (c == L'"' || c == L'\\' || static_cast<unsigned long>(c) < 0x20) break;
            ++from;
        }
        return from;
    }

    // After the opening quote: the characters of a string without escapes, as they stand in
    // the text, or else the decoded string in scratch.
    std::wstring_view parseString() {
        const size_t n = str.size();
        const wchar_t* s = str.data();
        const size_t end = plainRun(i);
        if (end < n && s[end] == L'"') {
            std::wstring_view plain(s + i, end - i);
            i = end + 1;
            return plain;
        }
        std::wstring& out = scratch;
        out.clear();
        while (true) {
            // Copy the run of plain characters in one go.
            const size_t run = plainRun(i);
            out.append(s + i, run - i);
            i = run;
            if (i == n) {
                fail(L"unexpected end of input in Json::t_string");
                return {};
            }
            const wchar_t ch = s[i++];
            if (ch == L'"') return out;
            if (ch != L'\\') {
                fail(L"unescaped " + esc(ch) + L" in Json::t_string");
                return {};
            }
            if (i == n) {
                fail(L"unexpected end of input in Json::t_string");
                return {};
            }
            const wchar_t e = s[i++];
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
            const int d = hexDigit(str[i + k]);
            if (d < 0) ok = false;
            unit = unit * 16 + d;
        }
        if (!ok) {
            fail(L"bad \\u escape: " + str.substr(i, available));
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

    wchar_t at(size_t k) const { return k < str.size() ? str[k] : 0; }

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
            bool negative = str[start] == L'-';
            for (size_t k = start + (negative ? 1 : 0); k < i; ++k) value = value * 10 + (str[k] - L'0');
            if (negative) value = -value;
            if (value >= 0 && value < SharedInts) return Json(value);
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
    Json expect(const std::wstring& literal, Json value) {
        --i;
        if (str.compare(i, literal.size(), literal) == 0) {
            i += literal.size();
            return value;
        }
        return fail(L"parse error: expected " + literal + L", got " + str.substr(i, literal.size()));
    }

    Json parseJson(int depth) {
        if (depth > Json::MaxDepth) return fail(L"exceeded maximum nesting depth");
        wchar_t ch = nextToken();
        if (failed) return Json();

        if (ch == L'-' || isDigit(ch)) {
            --i;
            return parseNumber();
        }
        if (ch == L't') return expect(L"true", Json(true));
        if (ch == L'f') return expect(L"false", Json(false));
        if (ch == L'n') return expect(L"null", Json());
        if (ch == L'"') {
            std::wstring_view s = parseString();
            if (failed) return Json();
            return make<JsonString>(std::wstring(s));
        }
        if (ch == L'[') {
            ch = nextToken();
            if (failed) return Json();
            if (ch == L']') return Json(Json::array());
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
            Json::array data(std::make_move_iterator(elements.begin() + mark),
                             std::make_move_iterator(elements.end()));
            elements.resize(mark);
            return make<JsonArray>(std::move(data));
        }
        if (ch == L'{') {
            ch = nextToken();
            if (failed) return Json();
            const size_t mark = members.size();
            if (ch != L'}') while (true) {
                if (ch != L'"') return fail(L"expected '\"' in t_object, got " + esc(ch));
                const std::wstring_view key = arena->memory.copy(parseString());
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
            return makeObject(mark);
        }
        return fail(L"expected value, got " + esc(ch));
    }

    // The members from mark on, ordered by key with the last of each key kept, moved into
    // the arena as one object.
    Json makeObject(size_t mark) {
        auto first = members.begin() + static_cast<std::ptrdiff_t>(mark);
        const auto byKey = [](const JsonParsedObject::Member& a, const JsonParsedObject::Member& b) {
            return Json::KeyLess()(a.key, b.key);
        };
        // Tables list their keys in order more often than not.
        if (!std::is_sorted(first, members.end(), byKey)) std::stable_sort(first, members.end(), byKey);
        size_t count = 0;
        for (auto it = first; it != members.end(); ++it) {
            if (it + 1 != members.end() && it[1].key == it->key) continue;  // a later one wins
            if (it != first + static_cast<std::ptrdiff_t>(count)) first[static_cast<std::ptrdiff_t>(count)] = std::move(*it);
            ++count;
        }
        auto* run = arena->memory.allocateArray<JsonParsedObject::Member>(count);
        for (size_t k = 0; k < count; ++k) new (run + k) JsonParsedObject::Member(std::move(first[static_cast<std::ptrdiff_t>(k)]));
        members.resize(mark);
        return make<JsonParsedObject>(run, count);
    }
};

Json Json::parse(const std::wstring& in, std::wstring& err) {
    err.clear();
    JsonParser parser(in, err);
    Json result = parser.parseJson(0);
    parser.skipWhitespace();
    if (parser.failed) return Json();
    if (parser.i != in.size()) return parser.fail(L"unexpected trailing " + esc(in[parser.i]));
    return result;
}

}  // namespace json11w
