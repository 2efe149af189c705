// Large blocks on Windows: committed virtual memory, zero-filled by the system.
#include <windows.h>

#include "kiro/io/pages.h"

namespace kiro::io::pages {

size_t granule() { return size_t(64) << 10; }

void* map(size_t size) { return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE); }

void unmap(void* block, size_t) { VirtualFree(block, 0, MEM_RELEASE); }

}  // namespace kiro::io::pages
