// The word corpus of one brain: for every noun met, the nouns and adjectives that followed it
// closely, with weights. Read from "temp/corpus.txt", then learnt from analysed texts.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "sorn/sorn.h"
#include "tavi/oreb/relatives.h"

namespace tavi::oreb {

// The text cut at every separator; each piece trimmed of " \t\r\n" at both ends. An empty
// text gives no pieces; pieces that trim to nothing are kept.
std::vector<std::wstring> splitTrimmed(const std::wstring& text, wchar_t separator);

class Corpus {
public:
    struct Link {
        int64_t count = 0;
        uint32_t kind = 0;  // 1 = the related word is a noun, 2 = an adjective
    };
    using Links = std::unordered_map<std::wstring, std::unordered_map<std::wstring, Link>>;

    // Builds the corpus from the association file "temp/corpus.txt" (relative to the
    // application directory). Items whose weight is missing or not a 32-bit number are skipped.
    explicit Corpus(uint64_t window);
    // Also reads the association file from the given path (tests, tools).
    Corpus(uint64_t window, const std::wstring& associationFile);

    // Links every general or proper noun to the nouns and adjectives among the next
    // `window` tokens, weighing window - k for the k-th following token.
    void learn(const std::vector<sorn::Token>& tokens);
    // The same for tokens whose first `learnt` were learnt before, with the tokens before
    // them: only the links that reach past them are added.
    void learn(const std::vector<sorn::Token>& tokens, size_t learnt);
    // Analyses a text and learns it piece by piece, as the language module cuts it, so that
    // the tokens of a long text never exist all at once; the links are those of learning the
    // whole. Stops between pieces once stop is set and returns false then.
    bool learnText(const std::wstring& text, const std::atomic<bool>& stop);

    // A keyword of the tokens that the corpus does not know, drawn at random.
    bool pickUnknown(const std::vector<sorn::Token>& tokens, std::wstring& keyword) const;
    // A keyword of the tokens that the corpus knows, drawn at random, with its related words.
    bool pickKnown(const std::vector<sorn::Token>& tokens, std::wstring& keyword,
                   Relatives& relatives) const;

    uint64_t window() const { return window_; }
    const Links& links() const { return links_; }

private:
    void readAssociations(const std::wstring& path);

    uint64_t window_;
    Links links_;
};

}  // namespace tavi::oreb
