// The word corpus: the association-file cases under tests/data/association, learning with the
// window, and picking keywords.
#include "tavi/oreb/corpus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <sstream>

#include "kiro/io/charset/charset.h"
#include "support/cases.h"
#include "support/scoped_folders.h"

namespace {

using tavi::oreb::Corpus;
using tavi::oreb::Relatives;
// Every link as "noun|word|count|kind", sorted.
std::string links(const Corpus& corpus) {
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

const uint32_t General = sorn::Noun | sorn::General;
const uint32_t Person = sorn::Noun | sorn::Proper | sorn::Person;

TEST(Corpus, AssociationFileCases) {
    tavi::test::ScopedWorkFolder folder;
    tavi::test::runCases("association", [&](const std::string& input) {
        folder.write("temp/corpus.txt", input);
        return tavi::test::Outcome{links(Corpus(3)), ""};
    });
}

// Plays the step scripts of tests/data/corpus (see the README there), each in a fresh folder.
TEST(Corpus, CasesPlayAsTheirFilesSay) {
    tavi::test::runCases("corpus", [](const std::string& steps) {
        tavi::test::ScopedWorkFolder folder;
        std::optional<Corpus> corpus;
        auto step = [&](const std::string& verb, const std::string& arg) -> std::string {
            // The words after the verb as tokens: "word/kind", the kind g (general noun), p (a
            // person's name), n (another noun), a (adjective) or none.
            std::vector<sorn::Token> tokens;
            std::istringstream words(arg);
            for (std::string word; words >> word;) {
                sorn::Token& t = tokens.emplace_back();
                t.surface = t.base = kiro::io::fromUtf8(word.substr(0, word.find('/')));
                const char kind = word.find('/') != word.npos ? word.back() : 0;
                t.flags = kind == 'g'   ? General
                          : kind == 'p' ? Person
                          : kind == 'n' ? sorn::Noun
                          : kind == 'a' ? sorn::Adjective
                                        : 0;
            }
            std::wstring keyword = L"unchanged";
            Relatives relatives;
            if (verb == "file") folder.write(arg.substr(0, arg.find(' ')), arg.substr(arg.find(' ') + 1) + "\n");
            if (verb == "corpus" && arg.find(' ') == arg.npos) corpus.emplace(std::stoull(arg));
            if (verb == "corpus" && arg.find(' ') != arg.npos)
                corpus.emplace(std::stoull(arg), kiro::io::fromUtf8(arg.substr(arg.find(' ') + 1)));
            if (verb == "learn") corpus->learn(tokens);
            if (verb == "links") return "\n" + links(*corpus);
            if (verb == "known") {
                // A pick that fails leaves the related words as they were: "keep".
                bool known = corpus->pickKnown(tokens, keyword, relatives);
                if (!known) known = corpus->pickKnown(tokens, keyword, relatives = Relatives{{L"keep"}, {}});
                std::sort(relatives.nouns.begin(), relatives.nouns.end());
                std::wstring out = (known ? L" " : L" none ") + keyword + L" nouns:";
                for (const auto& n : relatives.nouns) out += L" " + n;
                out += L" adjectives:";
                for (const auto& a : relatives.adjectives) out += L" " + a;
                return kiro::io::toUtf8(out);
            }
            // Drawn many times: every candidate comes.
            std::set<std::wstring> drawn;
            for (int i = 0; verb == "unknown" && i < 200; ++i)
                if (corpus->pickUnknown(tokens, keyword)) drawn.insert(keyword);
            std::wstring out;
            for (const auto& d : drawn) out += L" " + d;
            return kiro::io::toUtf8(out);
        };
        return tavi::test::Outcome{tavi::test::playSteps(steps, step), ""};
    });
}

}  // namespace
