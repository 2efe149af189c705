// The platform part of the large blocks: fresh blocks from the system, and back to it.
#pragma once

#include <cstddef>

namespace kiro::io::pages::os {

// A zero-filled block of size bytes (a multiple of granule()), or null.
void* map(size_t size);
void unmap(void* block, size_t size);
// Tells the system the block's contents are no longer needed; it stays mapped and usable.
void discard(void* block, size_t size);

}  // namespace kiro::io::pages::os
