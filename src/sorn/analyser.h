// The MeCab services the language module uses, behind one small interface so that the
// platform files alone touch the MeCab library.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace sorn {

class Analyser {
public:
    // One morpheme between the beginning and the end of the sentence; surface is not
    // zero-terminated, feature is.
    using Visit = std::function<void(const char* surface, size_t length, const char* feature)>;

    virtual ~Analyser() = default;
    // Parses UTF-8 sentences in order with a tagger and lattice of its own and visits their
    // morphemes in order. False when no tagger or lattice could be made. Safe from several
    // threads.
    virtual bool parse(const std::vector<std::string>& sentences, const Visit& visit) const = 0;
};

// The model for a MeCab argument string, or null when MeCab cannot start.
std::unique_ptr<Analyser> createAnalyser(const char* argument);

}  // namespace sorn
