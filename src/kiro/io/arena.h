// Bump allocation in chunks that are all released together: the parsers place the many small
// pieces of one document here instead of asking the heap for each.
#pragma once

#include <cstddef>
#include <new>
#include <string_view>

namespace kiro::io {

class Arena {
public:
    Arena() = default;
    Arena(const Arena&) = delete;
    Arena& operator=(const Arena&) = delete;
    Arena(Arena&& other) noexcept;
    Arena& operator=(Arena&& other) noexcept;
    // Frees the memory only: whoever placed objects with destructors here runs them first.
    ~Arena();

    // Suitably aligned room for size bytes (align a power of two, at most that of max_align_t).
    void* allocate(size_t size, size_t align) {
        size_t at = (used_ + align - 1) & ~(align - 1);
        if (at > room_ || size > room_ - at) return allocateSlow(size, align);
        used_ = at + size;
        return chunk_ + at;
    }

    // Uninitialised room for count objects of T.
    template <typename T>
    T* allocateArray(size_t count) {
        if (count > ~size_t(0) / sizeof(T)) throw std::bad_alloc();
        return static_cast<T*>(allocate(count * sizeof(T), alignof(T)));
    }

    // Gives back the end of the latest allocation, which began at p and had size bytes.
    void trimLast(const void* p, size_t size, size_t newSize) {
        if (static_cast<const char*>(p) + size == chunk_ + used_) used_ -= size - newSize;
    }

    // A copy of the characters that lives as long as the arena.
    std::wstring_view copy(std::wstring_view text);

    // Bytes taken from the heap so far.
    size_t reserved() const { return reserved_; }

private:
    struct Chunk;
    void* allocateSlow(size_t size, size_t align);
    Chunk* newChunk(size_t size);
    void release();

    Chunk* chunks_ = nullptr;  // newest first
    char* chunk_ = nullptr;    // where the newest chunk's room starts
    size_t used_ = 0;
    size_t room_ = 0;
    size_t reserved_ = 0;
};

}  // namespace kiro::io
