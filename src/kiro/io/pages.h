// Large blocks of memory straight from the operating system, for the arenas of big documents.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace kiro::io::pages {

// The size blocks come in: a request is rounded up to a multiple of it.
size_t granule();

// A block of size bytes (a multiple of granule()), or null when there is no memory. Its
// contents are undefined: a block kept for reuse (see Reuse) holds what it held before. On
// Linux a fresh block lies on huge-page boundaries and asks for huge pages, so filling it
// costs one page fault per 2 MiB instead of one per 4 KiB.
void* map(size_t size);
void unmap(void* block, size_t size);

// While one of these exists, on any thread, blocks given back with unmap() are kept (up to
// MostKept bytes in all) for the next map() of the same size, instead of going back to the
// system: a job that reads large documents one after another then fills memory it already
// has, where the system would clear every fresh page first. Their contents are given up, so
// the system may still take their pages back if it runs short. When the last one ends, the
// kept blocks go back to the system: nothing is kept between jobs.
class Reuse {
public:
    static constexpr size_t MostKept = size_t(64) << 20;

    Reuse();
    ~Reuse();
    Reuse(const Reuse&) = delete;
    Reuse& operator=(const Reuse&) = delete;
};

// The bytes held for reuse now.
size_t kept();

// An allocator for large short-lived buffers (a parser's stacks): from 4 MiB on they come
// from map(), so growing and dropping them costs few page faults; smaller ones come from the
// heap.
template <typename T>
struct Allocator {
    using value_type = T;
    static constexpr size_t Large = size_t(4) << 20;

    Allocator() noexcept = default;
    template <typename U>
    Allocator(const Allocator<U>&) noexcept {}

    T* allocate(size_t n) {
        if (n > ~size_t(0) / sizeof(T)) throw std::bad_alloc();
        const size_t bytes = n * sizeof(T);
        void* block = bytes >= Large ? map(rounded(bytes)) : std::malloc(bytes);
        if (block == nullptr) throw std::bad_alloc();
        return static_cast<T*>(block);
    }
    void deallocate(T* block, size_t n) noexcept {
        const size_t bytes = n * sizeof(T);
        if (bytes >= Large) unmap(block, rounded(bytes));
        else std::free(block);
    }
    static size_t rounded(size_t bytes) { return (bytes + granule() - 1) / granule() * granule(); }

    template <typename U>
    bool operator==(const Allocator<U>&) const noexcept {
        return true;
    }
    template <typename U>
    bool operator!=(const Allocator<U>&) const noexcept {
        return false;
    }
};

}  // namespace kiro::io::pages
