// Fuzzes character-set detection and decoding, the text reader's splitting and the
// conversions back to bytes.

#include "fuzz_folder.h"
#include "kiro/io/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = kiro::io::decode(data, size);
    const std::string back = kiro::io::toUtf8(text);
    // Whatever was decoded encodes to UTF-8 that decodes to the same text.
    check(kiro::io::fromUtf8(back.data(), back.size()) == text);
    kiro::io::toAnsi(text);
    kiro::io::fromAnsi(data, size);
    kiro::io::Text t(data, size);
    for (const auto& line : t.split(L'\n')) check(line.find(L'\n') == std::wstring::npos);
    return 0;
}
