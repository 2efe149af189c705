// Large blocks on Windows: committed virtual memory, zero-filled by the system.
#include <windows.h>

#include "kiro/io/pages.h"
#include "kiro/io/pages_platform.h"

namespace kiro::io::pages {

size_t granule() { return size_t(64) << 10; }

void* os::map(size_t size) { return VirtualAlloc(nullptr, size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE); }

void os::unmap(void* block, size_t) { VirtualFree(block, 0, MEM_RELEASE); }

// The pages stay committed but need not be written to the paging file; a later write makes
// them the block's again.
void os::discard(void* block, size_t size) { VirtualAlloc(block, size, MEM_RESET, PAGE_READWRITE); }

}  // namespace kiro::io::pages
