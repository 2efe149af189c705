// The chunks of an arena: each twice the last up to a limit, so a small document costs one
// small chunk and a large one few; a request larger than the limit gets a chunk of its own.
#include "kiro/io/arena.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace kiro::io {

namespace {
constexpr size_t FirstChunk = 4 << 10;
constexpr size_t LargestChunk = 1 << 20;
}  // namespace

struct alignas(std::max_align_t) Arena::Chunk {
    Chunk* next;
    size_t size;
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
        std::free(chunks_);
        chunks_ = next;
    }
    chunk_ = nullptr;
    used_ = room_ = reserved_ = 0;
}

void* Arena::allocateSlow(size_t size, size_t align) {
    if (size > LargestChunk / 4) {
        // A large piece gets its own chunk behind the current one, which stays in use.
        if (size > ~size_t(0) - sizeof(Chunk) - align) throw std::bad_alloc();
        auto* own = static_cast<Chunk*>(std::malloc(sizeof(Chunk) + size + align));
        if (own == nullptr) throw std::bad_alloc();
        own->size = size + align;
        reserved_ += sizeof(Chunk) + own->size;
        if (chunks_ == nullptr) {
            own->next = nullptr;
            chunks_ = own;
        } else {
            own->next = chunks_->next;
            chunks_->next = own;
        }
        auto start = reinterpret_cast<size_t>(own + 1);
        return reinterpret_cast<void*>((start + align - 1) & ~(align - 1));
    }
    size_t next = chunks_ == nullptr ? FirstChunk : chunks_->size * 2;
    if (next > LargestChunk) next = LargestChunk;
    while (next < size + align) next *= 2;
    auto* chunk = static_cast<Chunk*>(std::malloc(sizeof(Chunk) + next));
    if (chunk == nullptr) throw std::bad_alloc();
    chunk->next = chunks_;
    chunk->size = next;
    chunks_ = chunk;
    reserved_ += sizeof(Chunk) + next;
    chunk_ = reinterpret_cast<char*>(chunk + 1);
    room_ = next;
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
