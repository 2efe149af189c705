// The lenient markup reader: one pass over the text with a stack of open element names kept as
// the lengths of the dotted path before each push.
#include "kiro/io/xml.h"

#include <cstdint>
#include <cwchar>
#include <string_view>
#include <utility>

#include "kiro/io/charset/charset.h"

namespace kiro::io {

namespace {

using View = std::wstring_view;
using namespace std::string_view_literals;  // literal views: no length scans at run time

bool isSpace(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

void appendCodePoint(std::wstring& out, uint32_t cp) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (cp > 0xFFFF) {
            cp -= 0x10000;
            out += static_cast<wchar_t>(0xD800 + (cp >> 10));
            out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
            return;
        }
    }
    out += static_cast<wchar_t>(cp);
}

int digitValue(wchar_t c, bool hex) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (hex && c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (hex && c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
}

// Reads a reference that starts at s[at] == '&'. On success stores the code point and the
// length of the reference (ampersand to semicolon) and returns true.
bool readReference(View s, size_t at, uint32_t& cp, size_t& length) {
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
    static const std::pair<View, wchar_t> named[] = {
        {L"lt;"sv, L'<'},   {L"gt;"sv, L'>'},     {L"amp;"sv, L'&'},
        {L"quot;"sv, L'"'}, {L"apos;"sv, L'\''}, {L"nbsp;"sv, L' '},
    };
    View rest = s.substr(i);
    for (const auto& [spelling, c] : named) {
        if (rest.substr(0, spelling.size()) == spelling) {
            cp = static_cast<uint32_t>(c);
            length = 1 + spelling.size();
            return true;
        }
    }
    return false;
}

void trimBoth(View& v) {
    while (!v.empty() && isSpace(v.front())) v.remove_prefix(1);
    while (!v.empty() && isSpace(v.back())) v.remove_suffix(1);
}

// Splits a tag's text at whitespace outside double quotes; the quotes stay in the tokens.
void tokenize(View tag, std::vector<View>& tokens) {
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

void readAttributes(View tag, const std::vector<View>& tokens, Xml::Node& node) {
    const bool selfClosing = !tag.empty() && tag.back() == L'/';
    for (size_t t = 1; t < tokens.size(); ++t) {
        View token = tokens[t];
        size_t eq = token.find(L'=');
        if (eq == View::npos) continue;
        View key = token.substr(0, eq);
        View value = token.substr(eq + 1);
        if (!value.empty() && value.front() == L'"') value.remove_prefix(1);
        if (selfClosing && t + 1 == tokens.size() && !value.empty() && value.back() == L'/')
            value.remove_suffix(1);
        if (!value.empty() && value.back() == L'"') value.remove_suffix(1);
        node.attributes[std::wstring(key)] = std::wstring(value);
    }
}

void decodeInto(View s, std::wstring& out) {
    size_t amp = s.find(L'&');
    if (amp == View::npos) {
        out.assign(s);
        return;
    }
    out.clear();
    out.reserve(s.size());
    size_t from = 0;
    while (amp != View::npos) {
        out.append(s.data() + from, amp - from);
        uint32_t cp = 0;
        size_t length = 0;
        if (readReference(s, amp, cp, length)) {
            appendCodePoint(out, cp);
            from = amp + length;
        } else {
            out += L'&';
            from = amp + 1;
        }
        amp = s.find(L'&', from);
    }
    out.append(s.data() + from, s.size() - from);
}

bool opensNoElement(View name) {
    return name.empty() || name.front() == L'?' || name.front() == L'!' || name == L"br"sv ||
           name == L"img"sv || name == L"meta"sv;
}

}  // namespace

Xml::Xml(const void* data, size_t size) {
    if (data != nullptr && size > 0) parse(decode(data, size));
}

std::wstring Xml::decodeEntities(const std::wstring& text) {
    std::wstring out;
    decodeInto(text, out);
    return out;
}

void Xml::parse(const std::wstring& source) {
    const View s(source);
    const size_t n = s.size();
    size_t pos = 0;
    if (n > 0 && s[0] == L'\xFEFF') pos = 1;  // a byte-order mark is not content

    // Every node but a text node starts at a '<', and text nodes lie between them, so this
    // bounds the count; pages reserved but never touched cost nothing.
    size_t marks = 0;
    for (size_t i = pos; i < n; ++i) marks += s[i] == L'<';
    nodes_.reserve(nodes_.size() + 2 * marks + 1);

    std::wstring path;
    std::vector<size_t> open;  // length of path before each open element was added
    std::vector<View> tokens;

    auto addText = [&](View text, bool decodeReferences) {
        Node& node = nodes_.emplace_back();
        node.path = path;
        if (decodeReferences) decodeInto(text, node.text);
        else node.text.assign(text);
    };

    for (;;) {
        while (pos < n && isSpace(s[pos])) ++pos;
        if (pos >= n) break;

        if (s[pos] != L'<') {
            size_t end = s.find(L'<', pos);
            if (end == View::npos) end = n;
            View text = s.substr(pos, end - pos);
            while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
            addText(text, true);
            pos = end;
            continue;
        }

        View here = s.substr(pos);
        if (here.substr(0, 4) == L"<!--"sv) {
            size_t end = s.find(L"-->"sv, pos + 2);
            if (end == View::npos) break;
            pos = end + 3;
            continue;
        }
        if (here.substr(0, 9) == L"<![CDATA["sv) {
            size_t end = s.find(L"]]>"sv, pos + 9);
            if (end == View::npos) break;
            View content = s.substr(pos + 9, end - pos - 9);
            trimBoth(content);
            if (!content.empty()) addText(content, false);
            pos = end + 3;
            continue;
        }

        size_t close = s.find(L'>', pos + 1);
        View tag = close == View::npos ? s.substr(pos + 1) : s.substr(pos + 1, close - pos - 1);
        pos = close == View::npos ? n : close + 1;

        const bool selfClosed = !tag.empty() && tag.back() == L'/';
        tokenize(tag, tokens);
        View name = tokens.empty() ? View() : tokens.front();

        if (name == L"script"sv || name == L"style"sv) {
            // A self-closed one has no content to skip.
            if (selfClosed) continue;
            std::wstring endTag = L"</" + std::wstring(name) + L">";
            size_t end = s.find(endTag, pos);
            if (end != View::npos) pos = end + endTag.size();
            continue;
        }

        Node& node = nodes_.emplace_back();
        node.name = name;
        node.path = path;
        readAttributes(tag, tokens, node);

        if (!name.empty() && name.front() == L'/') {
            if (!open.empty()) {
                path.resize(open.back());
                open.pop_back();
            }
        } else if (!selfClosed && !opensNoElement(name)) {
            open.push_back(path.size());
            if (!path.empty()) path += L'.';
            path += name;
        }
    }
}

}  // namespace kiro::io
