// Test helper: a corpus's links as text, to compare with a case file or another corpus.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "kiro/io/charset/charset.h"
#include "tavi/oreb/corpus.h"

namespace tavi::test {

// Every link as "noun|word|count|kind", sorted.
inline std::string links(const oreb::Corpus& corpus) {
    std::vector<std::string> lines;
    for (const auto& [noun, related] : corpus.links()) {
        if (related.empty()) lines.push_back(kiro::io::toUtf8(noun) + "|");
        for (const auto& [word, link] : related)
            lines.push_back(kiro::io::toUtf8(noun + L"|" + word) + "|" + std::to_string(link.count) + "|" +
                            (link.kind == 1   ? "noun"
                             : link.kind == 2 ? "adjective"
                                              : "?"));
    }
    std::sort(lines.begin(), lines.end());
    std::string out;
    for (const auto& l : lines) out += l + "\n";
    return out;
}

}  // namespace tavi::test
