// The word corpus: reading the shared association file, learning from analysed texts, and
// picking unknown or known keywords of a text.
#include "tavi/oreb/corpus.h"

#include <cerrno>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "kiro/io/text.h"
#include "kiro/random.h"
#include "sorn/pieces.h"

namespace tavi::oreb {
namespace {

const wchar_t* const AssociationFile = L"temp/corpus.txt";

bool isBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n'; }

std::wstring trimmed(const std::wstring& text, size_t begin, size_t end) {
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

// A base-10 signed 32-bit number read like the standard string-to-int conversion: leading
// blanks and a sign allowed, digits up to the first other character. False when there is
// no digit or the number is out of range.
bool parseWeight(const std::wstring& text, int32_t& weight) {
    const wchar_t* begin = text.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long long value = std::wcstoll(begin, &end, 10);
    if (end == begin || errno == ERANGE) return false;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return false;
    weight = static_cast<int32_t>(value);
    return true;
}

}  // namespace

std::vector<std::wstring> splitTrimmed(const std::wstring& text, wchar_t separator) {
    std::vector<std::wstring> pieces;
    if (text.empty()) return pieces;
    size_t begin = 0;
    for (;;) {
        const size_t end = text.find(separator, begin);
        if (end == std::wstring::npos) {
            pieces.push_back(trimmed(text, begin, text.size()));
            return pieces;
        }
        pieces.push_back(trimmed(text, begin, end));
        begin = end + 1;
    }
}

Corpus::Corpus(uint64_t window) : Corpus(window, AssociationFile) {}

Corpus::Corpus(uint64_t window, const std::wstring& associationFile) : window_(window) {
    readAssociations(associationFile);
}

// Each line: noun;noun1/12,noun2/3;adjective1/5. An item without a usable weight is skipped.
void Corpus::readAssociations(const std::wstring& path) {
    const kiro::io::Text text(path);
    for (const std::wstring& line : text.split(L'\n')) {
        const std::vector<std::wstring> fields = splitTrimmed(line, L';');
        if (fields.size() < 3) continue;
        const std::wstring& noun = fields[0];
        for (uint32_t kind = 1; kind <= 2; ++kind) {
            for (const std::wstring& item : splitTrimmed(fields[kind], L',')) {
                const std::vector<std::wstring> parts = splitTrimmed(item, L'/');
                int32_t weight = 0;
                if (parts.size() < 2 || !parseWeight(parts[1], weight)) continue;
                Link& link = links_[noun][parts[0]];
                link.count = weight;
                link.kind = kind;
            }
        }
    }
}

void Corpus::learn(const std::vector<sorn::Token>& tokens) { learn(tokens, 0); }

void Corpus::learn(const std::vector<sorn::Token>& tokens, size_t learnt) {
    if (window_ == 0) return;
    const size_t n = tokens.size();
    for (size_t i = 0; i < n; ++i) {
        if (!(tokens[i].flags & (sorn::General | sorn::Proper))) continue;
        // A token learnt before already has its links up to the learnt ones.
        const uint64_t first = i < learnt ? learnt - i - 1 : 0;
        if (first >= window_) continue;
        auto& related = links_[tokens[i].base];
        for (uint64_t k = first; k < window_; ++k) {
            // i + k + 1 past the end (or wrapping with a huge window) ends the window.
            if (k >= n - i - 1) break;
            const sorn::Token& next = tokens[i + k + 1];
            uint32_t kind = 0;
            if (next.flags & (sorn::General | sorn::Proper)) kind = 1;
            else if (next.flags & sorn::Adjective) kind = 2;
            else continue;
            Link& link = related[next.base];
            link.count += static_cast<int64_t>(window_ - k);
            link.kind = kind;
        }
    }
}

bool Corpus::learnText(const std::wstring& text, const std::atomic<bool>& stop) {
    // The last tokens of the piece before, which the first ones of the next still reach.
    std::vector<sorn::Token> tokens;
    for (const std::wstring_view piece : sorn::sentencesOf(text)) {
        if (stop) return false;
        const size_t learnt = tokens.size();
        std::vector<sorn::Token> more = sorn::analyze(std::wstring(piece));
        tokens.insert(tokens.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
        learn(tokens, learnt);
        if (tokens.size() > window_) tokens.erase(tokens.begin(), tokens.end() - ptrdiff_t(window_));
    }
    return true;
}

bool Corpus::pickUnknown(const std::vector<sorn::Token>& tokens, std::wstring& keyword) const {
    std::vector<std::wstring> candidates;
    for (const sorn::Token& token : sorn::keywords(tokens)) {
        if (!links_.count(token.base)) candidates.push_back(token.base);
    }
    if (candidates.empty()) return false;
    keyword = candidates[randomIndex(candidates.size() - 1)];
    return true;
}

bool Corpus::pickKnown(const std::vector<sorn::Token>& tokens, std::wstring& keyword,
                       Relatives& relatives) const {
    std::vector<std::wstring> candidates;
    for (const sorn::Token& token : sorn::keywords(tokens)) {
        if (links_.count(token.base)) candidates.push_back(token.base);
    }
    if (candidates.empty()) return false;
    const std::wstring& chosen = candidates[randomIndex(candidates.size() - 1)];
    for (const auto& [word, link] : links_.at(chosen)) {
        if (word == chosen) continue;
        if (link.kind == 1) relatives.nouns.push_back(word);
        else if (link.kind == 2) relatives.adjectives.push_back(word);
    }
    keyword = chosen;
    return true;
}

}  // namespace tavi::oreb
