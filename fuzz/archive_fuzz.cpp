// Fuzzes the .uwu archive reader. The input describes the archive: a member count, then per
// member a byte choosing one of the looked-up names (or a raw hash), a stated length and the
// data, so that lookups find members while counts and lengths stay hostile.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_folder.h"
#include "kiro/io/file.h"

namespace {

const char* const kNames[] = {"\\setup.json", "\\a\\b.txt", "\\x"};
const wchar_t* const kPaths[] = {L"pack/setup.json", L"pack\\a\\b.txt", L"pack/x"};

void put32(std::string& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

uint32_t take32(const uint8_t*& p, const uint8_t* end) {
    uint32_t v = 0;
    for (int i = 0; i < 4 && p < end; ++i) v |= uint32_t(*p++) << (8 * i);
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const uint8_t* p = data;
    const uint8_t* end = data + size;
    std::string archive;
    put32(archive, p < end && (*p & 0x80) ? take32(p, end) : 0x75777507u);  // mostly the right magic
    put32(archive, take32(p, end));
    while (p < end) {
        const uint8_t pick = *p++;
        const uint32_t length = take32(p, end);
        if (pick < 3 * 64) {
            const std::string name = kNames[pick % 3];
            put32(archive, kiro::io::crc32(name.data(), name.size()));
        } else {
            put32(archive, take32(p, end));
        }
        put32(archive, length);
        const size_t n = std::min<size_t>(length % 512, size_t(end - p));
        archive.append(reinterpret_cast<const char*>(p), n);
        p += n;
    }
    {
        kiro::io::File f(fuzzFolder() + L"pack.uwu", kiro::io::File::Write);
        f.write(archive.data(), archive.size());
    }
    for (const wchar_t* name : kPaths) {
        kiro::io::BinaryObject b(fuzzFolder() + name);
        if (b.size() > archive.size()) __builtin_trap();  // never more than the archive holds
        if (!b.empty() && b.data()[b.size()] != 0) __builtin_trap();
    }
    return 0;
}
