// The blocks kept for reuse while a job runs: a short list under one lock, taken by exact
// size (an arena's chunks come in a few sizes, a parser's stacks in doublings).
#include "kiro/io/pages.h"

#include <array>
#include <mutex>
#include <utility>

#include "kiro/io/pages_platform.h"

namespace kiro::io::pages {

namespace {

struct Kept {
    void* block;
    size_t size;
};

// The blocks asked for are over 2 MiB (an arena's large chunks, a parser's large stacks), so
// this many hold MostKept. A fixed list asks nothing of the heap, as unmap() in a destructor
// must not; when it is full, no more are kept.
using KeptList = std::array<Kept, Reuse::MostKept / (size_t(2) << 20)>;

struct Store {
    std::mutex lock;
    int jobs = 0;
    size_t bytes = 0;
    KeptList blocks{};
    size_t count = 0;
};

// Never destroyed: an arena in a static object may give its blocks back after main returns.
Store& store() {
    static Store* const store = new Store;
    return *store;
}

}  // namespace

void* map(size_t size) {
    Store& s = store();
    {
        const std::lock_guard<std::mutex> hold(s.lock);
        // The newest first: its pages are the likeliest still to be in the cache.
        for (size_t i = s.count; i-- > 0;) {
            if (s.blocks[i].size != size) continue;
            void* block = s.blocks[i].block;
            for (size_t j = i + 1; j < s.count; ++j) s.blocks[j - 1] = s.blocks[j];
            --s.count;
            s.bytes -= size;
            return block;
        }
    }
    return os::map(size);
}

void unmap(void* block, size_t size) {
    if (block == nullptr) return;
    Store& s = store();
    {
        const std::lock_guard<std::mutex> hold(s.lock);
        if (s.jobs > 0 && size <= Reuse::MostKept - s.bytes && s.count < s.blocks.size()) {
            s.blocks[s.count++] = {block, size};
            s.bytes += size;
            os::discard(block, size);
            return;
        }
    }
    os::unmap(block, size);
}

Reuse::Reuse() {
    Store& s = store();
    const std::lock_guard<std::mutex> hold(s.lock);
    ++s.jobs;
}

Reuse::~Reuse() {
    Store& s = store();
    KeptList released;
    size_t count = 0;
    {
        const std::lock_guard<std::mutex> hold(s.lock);
        if (--s.jobs > 0) return;
        released = s.blocks;
        count = std::exchange(s.count, 0);
        s.bytes = 0;
    }
    for (size_t i = 0; i < count; ++i) os::unmap(released[i].block, released[i].size);
}

size_t kept() {
    Store& s = store();
    const std::lock_guard<std::mutex> hold(s.lock);
    return s.bytes;
}

}  // namespace kiro::io::pages
