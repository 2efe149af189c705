// Fuzzes the wide JSON parser: no crash or undefined behaviour on any text, whatever it
// parses dumps to valid JSON that parses again, and on ASCII text it agrees with nlohmann.
// The bytes read as a file (plain UTF-8 parsed as it stands) give what their decoded text
// gives, and a value taken out of a document outlives it.
#include <algorithm>

#include <nlohmann/json.hpp>

#include "fuzz_folder.h"
#include "kiro/io/json11/json11w.h"
#include "kiro/io/jsonfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    json11w::Json kept;
    {
        const kiro::io::JsonFile file(data, size);
        const std::wstring decoded = kiro::io::decode(data, size);
        std::wstring wideErr;
        const json11w::Json wide = decoded.empty() ? json11w::Json() : json11w::Json::parse(decoded, wideErr);
        check(file.error() == wideErr && file.root().dump() == wide.dump());
        kept = file.root()[size_t(0)];
        for (const auto& member : file.root().object_items()) kept = member.second;
    }
    (void)kept.dump();

    // The first byte picks how many of the rest make one character: 1, 2 or 4.
    const std::wstring text = size ? unitsAsText(data + 1, size - 1, size_t(1) << (data[0] % 3)) : L"";
    // Not NUL: nlohmann takes it for the end of its input.
    const bool ascii = std::all_of(text.begin(), text.end(), [](wchar_t c) { return c > 0 && c < 0x80; });
    std::wstring err;
    const json11w::Json value = json11w::Json::parse(text, err);
    check(err.empty() || value.is_null());  // failure means a null value and a message

    // ASCII text reads the same to both parsers, apart from our nesting limit and the lone
    // surrogate escapes that JSON allows and nlohmann refuses.
    const auto surrogateEscape = [](const std::wstring& t) {
        return t.find(L"\\ud") != std::wstring::npos || t.find(L"\\uD") != std::wstring::npos;
    };
    if (ascii && !surrogateEscape(text) && err != L"exceeded maximum nesting depth") {
        bool theirs = true;
        try {
            (void)nlohmann::json::parse(std::string(text.begin(), text.end()));
        } catch (const nlohmann::json::out_of_range&) {
            theirs = err.empty();  // a number beyond double: ours reads it as infinity
        } catch (const nlohmann::json::exception&) {
            theirs = false;
        }
        check(theirs == err.empty());
    }
    if (!err.empty()) return 0;

    // What was parsed dumps to valid JSON of whole characters, and one round trip reaches a
    // fixed point.
    const std::wstring first = value.dump();
    for (const wchar_t c : first) check((uint32_t(c) < 0xD800 || uint32_t(c) > 0xDFFF) && uint32_t(c) <= 0x10FFFF);
    check(surrogateEscape(first) || nlohmann::json::accept(kiro::io::toUtf8(first)));
    const json11w::Json again = json11w::Json::parse(first, err);
    check(err.empty());
    const std::wstring second = again.dump();
    const json11w::Json third = json11w::Json::parse(second, err);
    check(err.empty() && third.dump() == second && third == again);
    (void)value.int_value();  // numbers beyond int are clamped, not cast
    return 0;
}
