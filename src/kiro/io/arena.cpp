// The chunks of an arena: each twice the last, so a small document costs one small chunk and a
// large one few: 4 to 64 KiB, then 2 MiB, all from the heap (which keeps a block of that size
// for the next document once it has seen one), then 4 and 8 MiB straight from the system in
// huge pages (see pages.h): the heap hands blocks that large back when they are freed, and
// faulting them in again 4 KiB at a time costs more than the parse. While a job keeps blocks
// for reuse (pages::Reuse), the next document fills those instead of fresh ones. A piece
// larger than a quarter of the chunk it would go in gets a chunk of its own.
#include "kiro/io/arena.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "kiro/io/pages.h"

namespace kiro::io {

namespace {
constexpr size_t FirstChunk = 4 << 10;
constexpr size_t LargestSmallChunk = 64 << 10;
constexpr size_t LargestHeapChunk = 2 << 20;
constexpr size_t LargestChunk = 8 << 20;
}  // namespace

struct alignas(std::max_align_t) Arena::Chunk {
    Chunk* next;
    size_t size;  // the whole chunk, header included
    bool mapped;
};

Arena::Arena(Arena&& other) noexcept
    : chunks_(std::exchange(other.chunks_, nullptr)),
      chunk_(std::exchange(other.chunk_, nullptr)),
      used_(std::exchange(other.used_, 0)),
      room_(std::exchange(other.room_, 0)),
      reserved_(std::exchange(other.reserved_, 0)) {}

Arena& Arena::operator=(Arena&& other) noexcept {
    if (this != &other) {
        release();
        chunks_ = std::exchange(other.chunks_, nullptr);
        chunk_ = std::exchange(other.chunk_, nullptr);
        used_ = std::exchange(other.used_, 0);
        room_ = std::exchange(other.room_, 0);
        reserved_ = std::exchange(other.reserved_, 0);
    }
    return *this;
}

Arena::~Arena() { release(); }

void Arena::release() {
    while (chunks_ != nullptr) {
        Chunk* next = chunks_->next;
        if (chunks_->mapped) pages::unmap(chunks_, chunks_->size);
        else std::free(chunks_);
        chunks_ = next;
    }
    chunk_ = nullptr;
    used_ = room_ = reserved_ = 0;
}

// A chunk with room for at least size bytes after its header.
Arena::Chunk* Arena::newChunk(size_t size) {
    if (size > ~size_t(0) / 2 - sizeof(Chunk)) throw std::bad_alloc();
    size_t total = size + sizeof(Chunk);
    Chunk* chunk;
    bool mapped = total > LargestHeapChunk;
    if (mapped) {
        const size_t granule = pages::granule();
        total = (total + granule - 1) / granule * granule;
        chunk = static_cast<Chunk*>(pages::map(total));
    } else {
        chunk = static_cast<Chunk*>(std::malloc(total));
    }
    if (chunk == nullptr) throw std::bad_alloc();
    chunk->size = total;
    chunk->mapped = mapped;
    reserved_ += total;
    return chunk;
}

void* Arena::allocateSlow(size_t size, size_t align) {
    // The size of the chunk being filled: a piece's own chunk does not count, or one large
    // name at the start would make the next ordinary chunk the largest kind.
    const size_t current = chunk_ == nullptr ? 0 : room_ + sizeof(Chunk);
    size_t next = current == 0 ? FirstChunk : current * 2;
    if (next > LargestSmallChunk && next < LargestHeapChunk) next = LargestHeapChunk;
    if (next > LargestChunk) next = LargestChunk;
    if (size + align > next / 4) {
        // A large piece gets its own chunk behind the current one, which stays in use.
        Chunk* own = newChunk(size + align);
        if (chunks_ == nullptr) {
            own->next = nullptr;
            chunks_ = own;
        } else {
            own->next = chunks_->next;
            chunks_->next = own;
        }
        const auto start = reinterpret_cast<uintptr_t>(own + 1);
        return reinterpret_cast<void*>((start + align - 1) & ~uintptr_t(align - 1));
    }
    Chunk* chunk = newChunk(next - sizeof(Chunk));
    chunk->next = chunks_;
    chunks_ = chunk;
    chunk_ = reinterpret_cast<char*>(chunk + 1);
    room_ = chunk->size - sizeof(Chunk);
    used_ = 0;
    return allocate(size, align);
}

std::wstring_view Arena::copy(std::wstring_view text) {
    if (text.empty()) return {};
    wchar_t* out = allocateArray<wchar_t>(text.size());
    std::memcpy(out, text.data(), text.size() * sizeof(wchar_t));
    return {out, text.size()};
}

}  // namespace kiro::io
