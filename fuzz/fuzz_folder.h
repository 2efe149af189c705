// What the fuzz targets share: a private scratch folder for one fuzzer process (on a memory
// file system when there is one) with files written into it, fuzz bytes read as wide text,
// and the stop on a broken promise. Every target includes it first, with the standard headers
// it brings for LLVMFuzzerTestOneInput.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"

// Stops the run with a finding when a promised property does not hold.
inline void check(bool ok) {
    if (!ok) __builtin_trap();
}

inline const std::wstring& fuzzFolder() {
    static const std::wstring path = [] {
        std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm/tavi-fuzz-XXXXXX" : "/tmp/tavi-fuzz-XXXXXX";
        const char* made = mkdtemp(&dir[0]);
        return kiro::io::fromUtf8(std::string(made ? made : "/tmp")) + L"/";
    }();
    return path;
}

// Writes the bytes to the named file of the scratch folder and gives its path.
inline std::wstring fuzzFile(const wchar_t* name, const void* data, size_t size) {
    const std::wstring path = fuzzFolder() + name;
    kiro::io::File(path, kiro::io::File::Write).write(data, size);
    return path;
}

// The bytes taken `width` at a time (1, 2 or 4, lowest first) as characters, undecoded, so
// that any code unit reaches the parser: lone surrogates, values past Unicode.
inline std::wstring unitsAsText(const uint8_t* data, size_t size, size_t width) {
    std::wstring text;
    for (size_t i = 0; i + width <= size; i += width) {
        uint32_t u = 0;
        for (size_t k = 0; k < width; ++k) u |= uint32_t(data[i + k]) << (8 * k);
        text += static_cast<wchar_t>(sizeof(wchar_t) == 2 ? (u & 0xFFFF) : (u & 0x7FFFFFFF));
    }
    return text;
}
