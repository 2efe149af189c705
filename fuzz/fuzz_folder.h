// A private scratch folder for one fuzzer process, on a memory file system when there is one.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "kiro/io/charset/charset.h"

inline const std::wstring& fuzzFolder() {
    static const std::wstring path = [] {
        std::string dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm/tavi-fuzz-XXXXXX" : "/tmp/tavi-fuzz-XXXXXX";
        const char* made = mkdtemp(&dir[0]);
        return kiro::io::fromUtf8(std::string(made ? made : "/tmp")) + L"/";
    }();
    return path;
}
