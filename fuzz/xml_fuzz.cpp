// Fuzzes the markup reader: bytes through character-set detection, or bytes taken one by one
// as characters straight into the parser; checks the node list's invariants.
#include <cstddef>
#include <cstdint>
#include <string>

#include "kiro/io/xml.h"

namespace {

void check(bool ok) {
    if (!ok) __builtin_trap();
}

void checkNodes(const kiro::io::Xml& xml) {
    for (size_t i = 0; i < xml.count(); ++i) {
        const kiro::io::Xml::Node& n = xml.node(i);
        if (!n.name.empty()) check(n.text.empty());
        if (!n.text.empty()) check(n.name.empty() && n.attributes.empty());
    }
    const kiro::io::Xml::Node& past = xml.node(xml.count());
    check(past.name.empty() && past.text.empty() && past.path.empty() && past.attributes.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0];
    ++data;
    --size;
    if (mode & 1) {
        kiro::io::Xml xml(data, size);
        checkNodes(xml);
    } else {
        // Two bytes per character reach characters beyond Latin-1 (and lone surrogates).
        std::wstring text;
        if (mode & 2) {
            for (size_t i = 0; i + 1 < size; i += 2) text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
        } else {
            text.assign(data, data + size);
        }
        kiro::io::Xml xml;
        xml.parse(text);
        checkNodes(xml);
        const std::wstring decoded = kiro::io::Xml::decodeEntities(text);
        check(decoded.size() <= text.size());
        if (text.find(L'&') == std::wstring::npos) check(decoded == text);
    }
    return 0;
}
