// One kept copy per spelling of the short names a document repeats: element names, attribute
// keys, object keys. A feed or a table repeats a handful of them tens of thousands of times,
// and a copy per use would be a large part of the memory a parse writes. Only short names are
// kept, and only so many, so a document of endless different names costs what it would
// without the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace kiro::io {

template <typename Unit>
class Spellings {
public:
    // The kept copy of the name spelt raw (a view of the document, valid while the table is in
    // use), made by make(raw) on first sight; make(raw) alone for a name the table does not
    // keep. Equal spellings give the very same view, so callers may tell names apart by it.
    template <typename Make>
    std::wstring_view get(std::basic_string_view<Unit> raw, Make make) {
        if (raw.size() > LongestName) return make(raw);
        if (slots_.empty()) slots_.resize(Slots);
        uint32_t hash = 2166136261u;  // FNV-1a
        for (Unit c : raw) hash = (hash ^ static_cast<uint32_t>(c)) * 16777619u;
        for (size_t i = hash & (Slots - 1);; i = (i + 1) & (Slots - 1)) {
            Slot& slot = slots_[i];
            if (!slot.used) {
                const std::wstring_view copy = make(raw);
                if (kept_ == MostKept) return copy;
                ++kept_;
                slot = Slot{raw, copy, true};
                return copy;
            }
            if (slot.raw == raw) return slot.copy;
        }
    }

private:
    static constexpr size_t Slots = 1024;  // a power of two, at most half full
    static constexpr size_t MostKept = Slots / 2;
    static constexpr size_t LongestName = 40;
    struct Slot {
        std::basic_string_view<Unit> raw;
        std::wstring_view copy;
        bool used = false;
    };
    std::vector<Slot> slots_;
    size_t kept_ = 0;
};

}  // namespace kiro::io
