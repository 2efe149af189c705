// Fuzzes the .uwu archive reader. The input describes the archive: a member count, then per
// member a byte choosing one of the looked-up names (or a raw hash), a stated length and the
// data, so that lookups find members while counts and lengths stay hostile.
#include <cstring>

#include "fuzz_folder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const names[] = {"\\setup.json", "\\a\\b.txt", "\\x"};
    const uint8_t* p = data;
    const uint8_t* const end = data + size;
    std::string archive;
    const auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) archive.push_back(char((v >> (8 * i)) & 0xFF));
    };
    const auto take32 = [&] {
        uint32_t v = 0;
        for (int i = 0; i < 4 && p < end; ++i) v |= uint32_t(*p++) << (8 * i);
        return v;
    };
    put32(p < end && (*p & 0x80) ? take32() : 0x75777507u);  // mostly the right magic
    put32(take32());
    while (p < end) {
        const uint8_t pick = *p++;
        const uint32_t length = take32();
        put32(pick < 3 * 64 ? kiro::io::crc32(names[pick % 3], std::strlen(names[pick % 3])) : take32());
        put32(length);
        const size_t n = std::min<size_t>(length % 512, size_t(end - p));
        archive.append(reinterpret_cast<const char*>(p), n);
        p += n;
    }
    fuzzFile(L"pack.uwu", archive.data(), archive.size());
    for (const wchar_t* name : {L"pack/setup.json", L"pack\\a\\b.txt", L"pack/x"}) {
        kiro::io::BinaryObject b(fuzzFolder() + name);
        check(b.size() <= archive.size());  // never more than the archive holds
        check(b.empty() || b.data()[b.size()] == 0);
    }
    return 0;
}
