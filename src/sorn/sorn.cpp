// The language module: the process-wide analyser, the excluded nouns, and tokens with
// part-of-speech flags read from the UniDic feature columns.
#include "sorn/sorn.h"

#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string_view>
#include <unordered_set>

#include <nlohmann/json.hpp>

#include "kiro/io/charset/charset.h"
#include "sorn/analyser.h"
#include "sorn/pieces.h"

namespace sorn {
namespace {

const char* const ModelArgument = "-r sorn/etc/mecabrc -d sorn/dic/unidic";
const char* const SettingsFile = "sorn/sorn.json";

// The module's process-wide state. Analyses share the lock; initialize and finalize take it
// alone, so the analyser never goes away under a running analysis.
struct Module {
    std::shared_mutex mutex;
    std::unique_ptr<Analyser> analyser;
    std::unordered_set<std::wstring> excludedNouns;
    // The same lemmas as UTF-8, compared with the dictionary's columns without converting.
    std::unordered_set<std::string> excludedLemmas;
};

Module& module() {
    static Module instance;
    return instance;
}

// "nouns" of "exclude" in the settings file; nothing for a missing or malformed file.
std::unordered_set<std::wstring> readExcludedNouns() {
    std::unordered_set<std::wstring> nouns;
    std::ifstream in(SettingsFile);
    if (!in) return nouns;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const nlohmann::json root = nlohmann::json::parse(text, nullptr, false);
    if (!root.is_object()) return nouns;
    const auto exclude = root.find("exclude");
    if (exclude == root.end() || !exclude->is_object()) return nouns;
    const auto list = exclude->find("nouns");
    if (list == exclude->end() || !list->is_array()) return nouns;
    for (const auto& item : *list) {
        if (!item.is_string()) continue;
        const auto& s = item.get_ref<const std::string&>();
        nouns.insert(toWide(s.c_str(), static_cast<int>(s.size())));
    }
    return nouns;
}

// A copy of the text with "\r\n\t" and the ideographic space turned into plain spaces.
std::wstring normalised(std::wstring_view text) {
    std::wstring copy(text);
    for (wchar_t& c : copy) {
        if (c == L'\r' || c == L'\n' || c == L'\t' || c == L'\u3000') c = L' ';
    }
    return copy;
}

// The first columns of a feature string, cut at every comma (no quoting).
struct Columns {
    static constexpr size_t Kept = 11;
    std::array<std::string_view, Kept> column;
    size_t count = 0;  // all columns, counted up to Kept + 1

    explicit Columns(std::string_view feature) {
        std::string_view rest = feature;
        while (count <= Kept) {
            const size_t comma = rest.find(',');
            if (count < Kept) column[count] = rest.substr(0, comma);
            ++count;
            if (comma == std::string_view::npos) break;
            rest.remove_prefix(comma + 1);
        }
    }
    bool has(size_t i) const { return i < count; }
};

uint32_t nounFlag(std::string_view column) {
    if (column == "一般") return General;
    if (column == "固有名詞") return Proper;
    if (column == "人名") return Person;
    if (column == "地名") return Place;
    return 0;
}

Token makeToken(const char* surface, size_t length, const char* feature,
                const std::unordered_set<std::string>& excludedLemmas) {
    Token token;
    token.surface = toWide(surface, static_cast<int>(length));
    const std::string_view whole(feature);
    token.feature = toWide(whole.data(), static_cast<int>(whole.size()));
    const Columns columns(whole);
    token.base = columns.has(10) ? toWide(columns.column[10].data(),
                                          static_cast<int>(columns.column[10].size()))
                                 : token.surface;
    const std::string_view major = columns.column[0];
    if (major == "名詞") {
        token.flags = Noun;
        for (size_t i = 1; i <= 4 && columns.has(i); ++i) token.flags |= nounFlag(columns.column[i]);
        if (columns.has(7) && !excludedLemmas.empty() &&
            excludedLemmas.count(std::string(columns.column[7]))) {
            token.flags = 0;
        }
    } else if (major == "形容詞") {
        token.flags = Adjective;
    } else if (!token.surface.empty() &&
               (token.surface[0] == L'\u3002' || token.surface[0] == L'\uFF1F' ||
                token.surface[0] == L'\uFF01')) {
        token.flags = Terminal;
    }
    return token;
}

}  // namespace

bool initialize() {
    Module& m = module();
    std::unique_lock lock(m.mutex);
    if (m.analyser) return false;
    m.analyser = createAnalyser(ModelArgument);
    if (!m.analyser) return false;
    m.excludedNouns = readExcludedNouns();
    m.excludedLemmas.clear();
    for (const auto& noun : m.excludedNouns) m.excludedLemmas.insert(toUtf8(noun));
    return true;
}

void finalize() {
    Module& m = module();
    std::unique_lock lock(m.mutex);
    m.analyser.reset();
}

std::vector<Token> analyze(const std::wstring& text) {
    std::vector<Token> tokens;
    if (text.empty()) return tokens;
    Module& m = module();
    std::shared_lock lock(m.mutex);
    if (!m.analyser) return tokens;
    const auto visit = [&](const char* surface, size_t length, const char* feature) {
        tokens.push_back(makeToken(surface, length, feature, m.excludedLemmas));
    };
    std::vector<std::string> sentences;
    for (const std::wstring_view piece : sentencesOf(text)) sentences.push_back(toUtf8(normalised(piece)));
    if (!m.analyser->parse(sentences, visit)) return {};
    return tokens;
}

std::vector<Token> keywords(const std::vector<Token>& tokens) {
    std::vector<Token> result;
    for (const Token& token : tokens) {
        if (token.flags & General) result.push_back(token);
    }
    return result;
}

std::string toUtf8(const std::wstring& text) {
    if (text.empty()) return {};
    return kiro::io::toUtf8(text);
}

std::wstring toWide(const char* bytes, int length) {
    if (!bytes) return {};
    const size_t size = length < 0 ? std::strlen(bytes) : static_cast<size_t>(length);
    std::wstring wide = kiro::io::fromUtf8(bytes, size);
    const size_t zero = wide.find(L'\0');
    if (zero != std::wstring::npos) wide.resize(zero);
    return wide;
}

}  // namespace sorn
