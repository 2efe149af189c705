// Files, whole-file byte buffers and the .uwu archives that may stand in for data folders.
#include "kiro/io/file.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <new>

#include "kiro/io/charset/charset.h"
#include "kiro/io/native.h"

namespace kiro::io {

namespace {

constexpr uint32_t kArchiveMagic = 0x75777507u;

bool isSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

uint32_t readLe32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// Finds the archive that stands in for a missing file: the nearest folder on the path that
// has an "<folder>.uwu" beside it. Gives the archive path and the member name below it.
bool findArchive(const std::wstring& path, std::wstring* archive, std::wstring* member) {
    std::wstring p = path;
    for (auto& c : p) {
        if (c == L'/') c = L'\\';
    }
    std::wstring rest = p;
    for (;;) {
        size_t cut = rest.rfind(L'\\');
        if (cut == std::wstring::npos || cut == 0) return false;
        rest.resize(cut);
        if (rest.back() == L':') return false;
        if (exists(rest + L".uwu")) {
            *archive = rest + L".uwu";
            *member = p.substr(cut);
            return true;
        }
    }
}

}  // namespace

// ---- File -------------------------------------------------------------------------------

File::File(const std::wstring& path, int mode) { open(path, mode); }

bool File::open(const std::wstring& path, int mode) {
    stream_.reset();
    size_ = 0;
    std::ios::openmode flags = std::ios::binary;
    switch (mode) {
    case Read: flags |= std::ios::in; break;
    case Write: flags |= std::ios::in | std::ios::out | std::ios::trunc; break;
    case Append: flags |= std::ios::in | std::ios::out | std::ios::app; break;
    default: return false;
    }
    const auto native = native::path(path);
    std::error_code ec;
    if (std::filesystem::is_directory(native, ec)) return false;
    if (mode != Read) createFolders(path);
    auto stream = std::make_shared<std::fstream>();
    stream->open(native, flags);
    if (!stream->is_open() || !stream->good()) return false;
    stream->seekg(0, std::ios::end);
    const auto end = stream->tellg();
    stream->seekg(0, std::ios::beg);
    if (end > 0) size_ = uint64_t(end);
    stream->clear();
    stream_ = std::move(stream);
    return true;
}

bool File::failed() const { return !stream_ || !stream_->good(); }

bool File::read(void* buffer, uint64_t n, uint64_t* count) {
    if (count) *count = 0;
    if (failed() || buffer == nullptr) return false;
    stream_->read(static_cast<char*>(buffer), std::streamsize(n));
    const uint64_t got = uint64_t(stream_->gcount());
    if (count) {
        *count = got;
        return got != 0;
    }
    return got == n;
}

bool File::read(void* buffer, uint64_t n) { return read(buffer, n, nullptr); }

bool File::write(const void* buffer, uint64_t n) {
    if (failed()) return false;
    if (n == 0) return true;
    if (buffer == nullptr) return false;
    stream_->write(static_cast<const char*>(buffer), std::streamsize(n));
    stream_->flush();
    return stream_->good();
}

void File::seek(uint64_t offset) {
    if (!stream_) return;
    stream_->seekg(std::streamoff(offset), std::ios::beg);
    stream_->seekp(std::streamoff(offset), std::ios::beg);
}

void File::skip(int64_t offset) {
    if (!stream_) return;
    stream_->seekg(std::streamoff(offset), std::ios::cur);
}

// ---- BinaryObject -----------------------------------------------------------------------

BinaryObject::Heap::~Heap() { std::free(data); }

BinaryObject::BinaryObject() : heap_(std::make_shared<Heap>()) {}

const uint8_t* BinaryObject::data() const {
    static const uint8_t kEmpty[1] = {0};
    return heap_->data ? heap_->data : kEmpty;
}

uint64_t BinaryObject::size() const { return heap_->size; }

bool BinaryObject::load(const std::wstring& path) {
    heap_ = std::make_shared<Heap>();
    path_ = path;

    File file(path, File::Read);
    uint64_t length = 0;
    bool fromArchive = false;
    if (!file.failed()) {
        length = file.size();
    } else {
        std::wstring archive, member;
        if (!findArchive(path, &archive, &member)) return false;
        file = File(archive, File::Read);
        uint8_t header[8];
        if (file.failed() || !file.read(header, 8) || readLe32(header) != kArchiveMagic) return false;
        const uint32_t count = readLe32(header + 4);
        const std::string name = toUtf8(member);
        const uint32_t wanted = crc32(name.data(), name.size());
        uint64_t position = 8;
        bool found = false;
        for (uint32_t i = 0; i < count && !found; ++i) {
            uint8_t record[8];
            if (!file.read(record, 8)) return false;
            position += 8;
            const uint32_t memberLength = readLe32(record + 4);
            // A length beyond the end of the archive is damage: stop before trusting it.
            if (memberLength > file.size() - position) return false;
            if (readLe32(record) == wanted) {
                length = memberLength;
                found = true;
            } else {
                file.skip(int64_t(memberLength));
                position += memberLength;
            }
        }
        if (!found) return false;
        fromArchive = true;
    }

    if (length == 0) return false;
    if (length >= uint64_t(SIZE_MAX)) return false;
    auto* bytes = static_cast<uint8_t*>(std::malloc(size_t(length) + 1));
    if (bytes == nullptr) return false;
    if (!file.read(bytes, length)) {
        std::free(bytes);
        return false;
    }
    bytes[length] = 0;
    if (fromArchive) scramble(bytes, length);
    heap_->data = bytes;
    heap_->size = length;
    heap_->capacity = length;
    heap_->position = 0;
    return true;
}

bool BinaryObject::append(const void* bytes, uint64_t n) {
    if (bytes == nullptr || n == 0) return false;
    Heap& h = *heap_;
    const uint64_t end = h.position + n;
    if (end < h.position || end >= uint64_t(SIZE_MAX)) return false;
    if (end > h.capacity || h.data == nullptr) {
        // Grow geometrically so a download of many small pieces stays linear.
        uint64_t capacity = h.capacity < 64 ? 64 : h.capacity;
        while (capacity < end) capacity = capacity * 2 < capacity ? end : capacity * 2;
        auto* grown = static_cast<uint8_t*>(std::realloc(h.data, size_t(capacity) + 1));
        if (grown == nullptr) return false;
        h.data = grown;
        h.capacity = capacity;
    }
    std::memcpy(h.data + h.position, bytes, size_t(n));
    h.position = end;
    if (h.size < end) h.size = end;
    h.data[h.size] = 0;
    return true;
}

// ---- path helpers -------------------------------------------------------------------------

bool exists(const std::wstring& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return std::filesystem::exists(native::path(path), ec);
}

bool removeFile(const std::wstring& path) {
    if (path.empty()) return false;
    std::error_code ec;
    return std::filesystem::remove(native::path(path), ec);
}

std::vector<std::wstring> listFiles(const std::wstring& folder, const std::wstring& pattern) {
    std::vector<std::wstring> result;
    std::wstring base = folder;
    if (base.empty() || !isSeparator(base.back())) base += native::separator();
    for (const auto& entry : native::listFolder(base, pattern)) {
        if (entry.name.empty()) break;
        if (entry.name[0] == L'.') continue;
        if (entry.folder) {
            auto below = listFiles(base + entry.name, pattern);
            result.insert(result.end(), below.begin(), below.end());
        } else {
            result.push_back(base + entry.name);
        }
    }
    return result;
}

void createFolders(const std::wstring& path) {
    for (size_t i = 0; i < path.size(); ++i) {
        if (!isSeparator(path[i]) || i == 0) continue;
        std::error_code ec;
        std::filesystem::create_directory(native::path(path.substr(0, i + 1)), ec);
    }
}

// ---- archive helpers ------------------------------------------------------------------------

uint32_t crc32(const void* data, size_t size) {
    static const auto table = [] {
        struct Table { uint32_t v[256]; } t{};
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t.v[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    const auto* p = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) crc = table.v[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void scramble(uint8_t* data, uint64_t length) {
    if (data == nullptr || length == 0) return;
    const uint32_t L = uint32_t(length);
    uint32_t w[4];
    w[0] = 1812433253u * (L ^ (L >> 30)) + 1;
    for (uint32_t i = 1; i < 4; ++i) w[i] = 1812433253u * (w[i - 1] ^ (w[i - 1] >> 30)) + (i + 1);
    auto next = [&w] {
        const uint32_t t = w[0] ^ (w[0] << 11);
        w[0] = w[1];
        w[1] = w[2];
        w[2] = w[3];
        w[3] = w[3] ^ (w[3] >> 19) ^ t ^ (t >> 8);
        return w[3];
    };
    const uint64_t words = length / 4;
    for (uint64_t i = 0; i < words; ++i) {
        const uint32_t k = next();
        uint8_t* p = data + i * 4;
        p[0] ^= uint8_t(k);
        p[1] ^= uint8_t(k >> 8);
        p[2] ^= uint8_t(k >> 16);
        p[3] ^= uint8_t(k >> 24);
    }
    for (uint64_t i = words * 4; i < length; ++i) data[i] ^= uint8_t(next());
}

}  // namespace kiro::io
