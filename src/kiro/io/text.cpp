// Text files: read whole with character-set detection, split into lines, saved as UTF-8.
#include "kiro/io/text.h"

#include <cstring>

#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"
#include "kiro/io/native.h"

namespace kiro::io {

Text::Text(const std::wstring& path) : Text(BinaryObject(path)) {}

Text::Text(const BinaryObject& bytes) : Text(bytes.data(), size_t(bytes.size())) {}

Text::Text(const void* data, size_t size) {
    if (data == nullptr || size == 0) return;
    // A zero byte marks binary data (UTF-16 included): such a file reads as empty.
    if (std::memchr(data, 0, size) != nullptr) return;
    content_ = decode(data, size);
}

bool Text::save(const std::wstring& path, bool append) const {
    if (path.empty()) return false;
    const std::string bytes = toUtf8(content_);
    if (!append) return native::replaceFile(path, bytes.data(), bytes.size());
    File file(path, File::Append);
    return !file.failed() && file.write(bytes.data(), bytes.size());
}

std::vector<std::wstring> Text::split(wchar_t delimiter) const {
    std::vector<std::wstring> pieces;
    if (content_.empty()) return pieces;
    size_t from = 0;
    for (;;) {
        const size_t at = content_.find(delimiter, from);
        if (at == std::wstring::npos) {
            pieces.push_back(content_.substr(from));
            break;
        }
        std::wstring piece = content_.substr(from, at - from);
        if (!piece.empty() && piece.back() == L'\r') piece.pop_back();
        pieces.push_back(std::move(piece));
        from = at + 1;
    }
    while (!pieces.empty() && pieces.back().empty()) pieces.pop_back();
    return pieces;
}

}  // namespace kiro::io
