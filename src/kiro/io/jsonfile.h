// One JSON file read whole, decoded to wide text and parsed; a missing or empty file is a
// null root without an error.
#pragma once

#include <cstddef>
#include <string>

#include "kiro/io/json11/json11w.h"

namespace kiro::io {

class JsonFile {
public:
    JsonFile() = default;
    explicit JsonFile(const std::wstring& path);
    // The same for bytes already in memory.
    JsonFile(const void* data, size_t size);

    const json11w::Json& root() const { return root_; }
    const json11w::Json& operator[](const std::wstring& key) const { return root_[key]; }
    const json11w::Json& operator[](const wchar_t* key) const { return root_[key]; }
    bool failed() const { return !error_.empty(); }
    const std::wstring& error() const { return error_; }

private:
    void read(const void* data, size_t size);

    json11w::Json root_;
    std::wstring error_;
};

}  // namespace kiro::io
