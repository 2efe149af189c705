// Large blocks of memory straight from the operating system, for the arenas of big documents.
#pragma once

#include <cstddef>

namespace kiro::io::pages {

// The size blocks come in: a request is rounded up to a multiple of it.
size_t granule();

// A zero-filled block of size bytes (a multiple of granule()), or null when there is no
// memory. On Linux the block lies on huge-page boundaries and asks for huge pages, so filling
// it costs one page fault per 2 MiB instead of one per 4 KiB.
void* map(size_t size);
void unmap(void* block, size_t size);

}  // namespace kiro::io::pages
