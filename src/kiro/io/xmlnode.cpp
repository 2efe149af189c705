// The markup reader's node pieces: looking up an attribute, spelling out and comparing a path.
#include <stdexcept>
#include <string>

#include "kiro/io/xml.h"

namespace kiro::io {

Xml::Attributes::const_iterator Xml::Attributes::find(std::wstring_view key) const {
    const const_iterator items = begin();
    size_t low = 0, high = size();
    while (low < high) {
        const size_t mid = low + (high - low) / 2;
        const int order = items[mid].first.compare(key);
        if (order == 0) return items + mid;
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

}  // namespace kiro::io
