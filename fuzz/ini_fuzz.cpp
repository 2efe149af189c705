// Fuzzes settings-file loading from a real file, typed reads of every value and saving.

#include "fuzz_folder.h"
#include "kiro/io/ini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kiro::io::Ini ini(fuzzFile(L"in.config", data, size));
    for (auto& [name, section] : ini.sections()) {
        kiro::io::Ini::Section copy = section;
        for (const auto& [key, value] : section.keys()) {
            copy[key].getInt(7);
            copy[key].getBool(true);
            copy[key].getString(L"d");
        }
    }
    ini.save(fuzzFolder() + L"out.state");
    // A saved file loads back to the same sections with non-empty keys.
    kiro::io::Ini again(fuzzFolder() + L"out.state");
    for (const auto& [name, section] : again.sections()) check(!section.empty());
    return 0;
}
