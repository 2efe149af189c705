// Fuzzes the markup reader: bytes through character-set detection, or bytes taken one by one
// as characters straight into the parser; checks the node list's invariants, and that bytes
// read as they stand (plain UTF-8) give the nodes of their decoded text.

#include "fuzz_folder.h"
#include "kiro/io/xml.h"

namespace {

void checkNodes(const kiro::io::Xml& xml) {
    for (size_t i = 0; i < xml.count(); ++i) {
        const kiro::io::Xml::Node& n = xml.node(i);
        if (!n.name.empty()) check(n.text.empty());
        if (!n.text.empty()) check(n.name.empty() && n.attributes.empty());
        // Attributes are ordered by key, each key once.
        for (auto it = n.attributes.begin(); it != n.attributes.end(); ++it)
            check(it + 1 == n.attributes.end() || it->first.compare(it[1].first) < 0);
        // A path is its parent's, a dot and its innermost name. Deep paths are checked only
        // near the top of the document, which keeps the run linear.
        if (i < 64 && !n.path.empty()) {
            const std::wstring text = n.path.str();
            check(n.path == text && text.size() == n.path.size());
            const std::wstring parent = n.path.parent().str();
            check(text == (parent.empty() ? n.path.name().str() : parent + L"." + n.path.name().str()));
        }
    }
    const kiro::io::Xml::Node& past = xml.node(xml.count());
    check(past.name.empty() && past.text.empty() && past.path.empty() && past.attributes.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size-- == 0) return 0;
    const uint8_t mode = *data++;
    if (mode & 1) {
        kiro::io::Xml xml(data, size);
        checkNodes(xml);
        kiro::io::Xml decoded;
        decoded.parse(kiro::io::decode(data, size));
        check(decoded.count() == xml.count());
        for (size_t i = 0; i < xml.count(); ++i) {
            const kiro::io::Xml::Node& a = xml.node(i);
            const kiro::io::Xml::Node& b = decoded.node(i);
            check(a.name == b.name && a.text == b.text && a.path.size() == b.path.size() &&
                  a.path.name() == b.path.name());
            check((i >= 64 || a.path == b.path) && a.attributes.size() == b.attributes.size());
            for (size_t k = 0; k < a.attributes.size(); ++k) check(a.attributes.begin()[k] == b.attributes.begin()[k]);
        }
        return 0;
    }
    // Two bytes per character reach characters beyond Latin-1 (and lone surrogates).
    const std::wstring text = unitsAsText(data, size, (mode & 2) ? 2 : 1);
    kiro::io::Xml xml;
    xml.parse(text);
    checkNodes(xml);
    const std::wstring decoded = kiro::io::Xml::decodeEntities(text);
    check(decoded.size() <= text.size());
    if (text.find(L'&') == std::wstring::npos) check(decoded == text);
    return 0;
}
