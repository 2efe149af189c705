// Reads one JSON file: whole bytes, character-set detection, then the wide parser.
#include "kiro/io/jsonfile.h"

#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"

namespace kiro::io {

JsonFile::JsonFile(const std::wstring& path) {
    BinaryObject bytes(path);
    const std::wstring text = decode(bytes.data(), static_cast<size_t>(bytes.size()));
    if (!text.empty()) root_ = json11w::Json::parse(text, error_);
}

}  // namespace kiro::io
