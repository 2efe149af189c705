// Files, whole-file byte buffers with .uwu archive fallback, and path helpers.
// Paths are wide strings; both '\' and '/' separate folders.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace kiro::io {

// A shared handle on one open binary file stream; copies share the stream.
class File {
public:
    enum Mode { Read = 0, Write = 1, Append = 2 };

    File() = default;
    File(const std::wstring& path, int mode);

    // Creates missing folders for Write and Append, opens the stream, measures the size.
    bool open(const std::wstring& path, int mode);
    bool failed() const;
    // With a count out: stores the count read and returns count != 0.
    bool read(void* buffer, uint64_t n, uint64_t* count);
    // Without: whether exactly n bytes were read.
    bool read(void* buffer, uint64_t n);
    bool write(const void* buffer, uint64_t n);
    void seek(uint64_t offset);
    void skip(int64_t offset);
    uint64_t size() const { return size_; }

private:
    std::shared_ptr<std::fstream> stream_;
    uint64_t size_ = 0;
};

// The bytes of a whole file (or archive member), always followed by one zero byte.
class BinaryObject {
public:
    struct Heap {
        uint8_t* data = nullptr;
        uint64_t size = 0;
        uint64_t capacity = 0;
        uint64_t position = 0;
        ~Heap();
    };

    BinaryObject();
    explicit BinaryObject(const std::wstring& path) : BinaryObject() { load(path); }

    // Empty on any failure; a missing file is looked for in .uwu archives up the folders. A
    // member whose stated length runs past the end of its archive reads as empty.
    bool load(const std::wstring& path);
    const uint8_t* data() const;
    uint64_t size() const;
    bool empty() const { return size() == 0; }
    const std::wstring& path() const { return path_; }
    // Grows as needed; false for null, n = 0, or when memory runs out.
    bool append(const void* bytes, uint64_t n);

private:
    std::shared_ptr<Heap> heap_;
    std::wstring path_;
};

// Whether the path names an existing file or folder.
bool exists(const std::wstring& path);
// Deletes a file (or an empty folder); false when there was none or it could not go.
bool removeFile(const std::wstring& path);
// Files below a folder, recursively, in the order the system enumerates them; dot names skipped.
// Each is the folder + name, joined by the platform's separator ('\\' on Windows, '/' on Linux)
// when the folder does not end in one. The pattern ('*', '?') applies at every level.
std::vector<std::wstring> listFiles(const std::wstring& folder, const std::wstring& pattern = L"*");

// Creates every missing folder on the path (each prefix ending in a separator).
void createFolders(const std::wstring& path);

// Archive helpers, shared by the reader, the packing tool and the tests.
uint32_t crc32(const void* data, size_t size);
void scramble(uint8_t* data, uint64_t length);

}  // namespace kiro::io
