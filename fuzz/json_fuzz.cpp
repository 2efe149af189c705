// Fuzzes the wide JSON parser: no crash or undefined behaviour on any text, whatever it
// parses dumps to valid JSON that parses again, and on ASCII text it agrees with nlohmann.
// The bytes read as a file (plain UTF-8 parsed as it stands) give what their decoded text
// gives, and a value taken out of a document outlives it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include <nlohmann/json.hpp>

#include "kiro/io/charset/charset.h"
#include "kiro/io/json11/json11w.h"
#include "kiro/io/jsonfile.h"

namespace {

// The first byte picks how the rest becomes wide text: bytes, 16-bit units or whole units.
std::wstring toWide(const uint8_t* data, size_t size) {
    std::wstring text;
    if (size == 0) return text;
    const int mode = data[0] % 3;
    ++data;
    --size;
    if (mode == 0) {
        for (size_t i = 0; i < size; ++i) text += static_cast<wchar_t>(data[i]);
    } else if (mode == 1) {
        for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    } else {
        for (size_t i = 0; i + 3 < size; i += 4) {
            uint32_t u = data[i] | data[i + 1] << 8 | data[i + 2] << 16 | uint32_t(data[i + 3]) << 24;
            text += static_cast<wchar_t>(sizeof(wchar_t) == 2 ? (u & 0xFFFF) : (u & 0x7FFFFFFF));
        }
    }
    return text;
}

// Strict UTF-8 of text that holds only whole characters (wchar_t has 32 bits where the
// fuzzers build); anything else aborts.
std::string toUtf8(const std::wstring& text) {
    for (const wchar_t c : text) {
        const uint32_t u = static_cast<uint32_t>(c);
        if ((u >= 0xD800 && u <= 0xDFFF) || u > 0x10FFFF) abort();  // dump let one through
    }
    return kiro::io::toUtf8(text);
}

// ASCII without NUL, which nlohmann takes for the end of the input.
bool isAscii(const std::wstring& text) {
    for (wchar_t c : text)
        if (c == 0 || static_cast<uint32_t>(c) >= 0x80) return false;
    return true;
}

// JSON allows a lone surrogate escape; nlohmann does not, so such texts are not compared.
bool hasSurrogateEscape(const std::wstring& text) {
    return text.find(L"\\ud") != std::wstring::npos || text.find(L"\\uD") != std::wstring::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        json11w::Json kept;
        {
            const kiro::io::JsonFile file(data, size);
            const std::wstring decoded = kiro::io::decode(data, size);
            std::wstring wideErr;
            const json11w::Json wide = decoded.empty() ? json11w::Json() : json11w::Json::parse(decoded, wideErr);
            if (file.error() != wideErr || file.root().dump() != wide.dump()) abort();
            kept = file.root()[size_t(0)];
            for (const auto& member : file.root().object_items()) kept = member.second;
        }
        (void)kept.dump();
    }

    const std::wstring text = toWide(data, size);
    std::wstring err;
    const json11w::Json value = json11w::Json::parse(text, err);

    // Failure means a null value and a message; success means no message.
    if (err.empty() != !(value.is_null() && !err.empty())) abort();
    if (!err.empty() && !value.is_null()) abort();

    // ASCII text reads the same to both parsers, apart from our nesting limit and the
    // surrogate escapes that we keep alone and nlohmann refuses unless paired.
    const bool surrogates = hasSurrogateEscape(text);
    if (isAscii(text) && !surrogates && err != L"exceeded maximum nesting depth") {
        bool theirs = true;
        try {
            (void)nlohmann::json::parse(std::string(text.begin(), text.end()));
        } catch (const nlohmann::json::out_of_range&) {
            theirs = err.empty();  // a number beyond double: ours reads it as infinity
        } catch (const nlohmann::json::exception&) {
            theirs = false;
        }
        if (theirs != err.empty()) abort();
    }
    if (!err.empty()) return 0;

    // What was parsed dumps to valid JSON, and one round trip reaches a fixed point.
    const std::wstring first = value.dump();
    const std::string utf8 = toUtf8(first);
    if (!hasSurrogateEscape(first) && !nlohmann::json::accept(utf8)) abort();
    std::wstring err2;
    const json11w::Json again = json11w::Json::parse(first, err2);
    if (!err2.empty()) abort();
    const std::wstring second = again.dump();
    const json11w::Json third = json11w::Json::parse(second, err2);
    if (!err2.empty() || third.dump() != second || !(third == again)) abort();

    // Neutral lookups never fail.
    (void)value[L"key"].string_value();
    (void)value[size_t(3)].array_items();
    (void)value.int_value();
    return 0;
}
