// Large blocks on Linux: anonymous mappings aligned to 2 MiB and marked for transparent huge
// pages (where the system does not offer them, the marking is a harmless no-op).
#include <sys/mman.h>

#include <cstdint>

#include "kiro/io/pages.h"
#include "kiro/io/pages_platform.h"

namespace kiro::io::pages {

namespace {
constexpr size_t Huge = size_t(2) << 20;
}

size_t granule() { return Huge; }

void* os::map(size_t size) {
    // Map one huge page more than asked, then cut the unaligned ends off.
    const size_t span = size + Huge;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    const auto start = reinterpret_cast<uintptr_t>(raw);
    const uintptr_t aligned = (start + Huge - 1) & ~uintptr_t(Huge - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const uintptr_t end = start + span;
    if (end > aligned + size) munmap(reinterpret_cast<void*>(aligned + size), end - (aligned + size));
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, size, MADV_HUGEPAGE);
    return block;
}

void os::unmap(void* block, size_t size) { munmap(block, size); }

// The pages become free to take until they are next written; a system without lazy freeing
// (before Linux 4.5) refuses, and they simply stay.
void os::discard(void* block, size_t size) { madvise(block, size, MADV_FREE); }

}  // namespace kiro::io::pages
