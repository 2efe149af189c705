// Fuzzes reading the corpus association file and cutting long texts into analysable pieces.

#include "fuzz_folder.h"
#include "sorn/pieces.h"
#include "tavi/oreb/corpus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const tavi::oreb::Corpus corpus(3, fuzzFile(L"corpus.txt", data, size));
    for (const auto& [noun, related] : corpus.links()) {
        check(!related.empty());  // a noun is a key only through a link read for it
        for (const auto& [word, link] : related) check(link.kind == 1 || link.kind == 2);
    }

    // The pieces of any text cover it exactly, in order, each within its limit.
    const std::wstring text = kiro::io::fromUtf8(data, size);
    const size_t limit = 4 + (size ? data[0] % 64 : 0);
    std::wstring joined;
    for (const std::wstring_view piece : sorn::cutPieces(text, limit)) {
        check(!piece.empty() && kiro::io::toUtf8(std::wstring(piece)).size() <= limit);
        joined += piece;
    }
    check(joined == text);
    return 0;
}
