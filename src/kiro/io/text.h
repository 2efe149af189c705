// A small text-file object: reads with character-set detection, splits, appends and saves.
#pragma once

#include <string>
#include <vector>

namespace kiro::io {

class BinaryObject;

class Text {
public:
    Text() = default;
    explicit Text(const std::wstring& path);
    explicit Text(const BinaryObject& bytes);
    Text(const void* data, size_t size);
    virtual ~Text() = default;

    const std::wstring& str() const { return content_; }
    std::wstring& str() { return content_; }
    void append(const std::wstring& text) { content_ += text; }
    // UTF-8 without byte-order mark; missing folders are created. A truncating save writes a
    // temporary file beside the target and renames it over the target, so the file is always
    // either the old or the new one.
    bool save(const std::wstring& path, bool append = false) const;
    std::vector<std::wstring> split(wchar_t delimiter) const;

private:
    std::wstring content_;
};

}  // namespace kiro::io
