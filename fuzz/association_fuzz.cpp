// Fuzzes reading the corpus association file and cutting long texts into analysable pieces.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_folder.h"
#include "kiro/io/charset/charset.h"
#include "kiro/io/file.h"
#include "sorn/pieces.h"
#include "tavi/oreb/corpus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kiro::io::File(fuzzFolder() + L"corpus.txt", kiro::io::File::Write).write(data, size);
    const tavi::oreb::Corpus corpus(3, fuzzFolder() + L"corpus.txt");
    for (const auto& [noun, related] : corpus.links()) {
        // A noun is a key only through a link read for it.
        if (related.empty()) __builtin_trap();
        for (const auto& [word, link] : related) {
            if (link.kind != 1 && link.kind != 2) __builtin_trap();
        }
    }

    // The pieces of any text cover it exactly, in order, each within its limit.
    const std::wstring text = kiro::io::fromUtf8(data, size);
    const size_t limit = 4 + (size ? data[0] % 64 : 0);
    std::wstring joined;
    for (const std::wstring_view piece : sorn::cutPieces(text, limit)) {
        if (piece.empty() || kiro::io::toUtf8(std::wstring(piece)).size() > limit) __builtin_trap();
        joined += piece;
    }
    if (joined != text) __builtin_trap();
    return 0;
}
