// Reads one JSON file: whole bytes, character-set detection, then the wide parser. Plain UTF-8,
// the usual case, is parsed as it stands, which gives the same values without a decoded copy
// (the parser checks the UTF-8 as it goes, so the bytes are read once).
#include "kiro/io/jsonfile.h"

#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"
#include "kiro/io/json11/jsonutf8.h"
#include "kiro/io/utf8.h"

namespace kiro::io {

JsonFile::JsonFile(const std::wstring& path) {
    BinaryObject bytes(path);
    read(bytes.data(), static_cast<size_t>(bytes.size()));
}

JsonFile::JsonFile(const void* data, size_t size) { read(data, size); }

void JsonFile::read(const void* data, size_t size) {
    if (data == nullptr || size == 0) return;
    const auto* bytes = static_cast<const char*>(data);
    // decode() drops a byte-order mark and reads plain UTF-8 as it is; an empty text is no error.
    const size_t mark = utf8::byteOrderMark(bytes, size);
    if (mark == size) return;
    if (json11w::parseWellFormedUtf8(bytes + mark, size - mark, root_)) return;
    const std::wstring text = decode(data, size);
    if (!text.empty()) root_ = json11w::Json::parse(text, error_);
}

}  // namespace kiro::io
