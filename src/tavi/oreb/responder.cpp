// The response table: one drawn line per situation of the conversation.
#include "tavi/oreb/responder.h"

#include "kiro/random.h"

namespace tavi::oreb {

Responder::Responder(const std::wstring& path) : file_(path) {}

void Responder::pick(ResponseSet& set, const json11w::Json& entry) const {
    const json11w::Json::array& texts = entry[L"texts"].array_items();
    if (texts.empty()) return;
    const json11w::Json& text = texts[kiro::randomIndex(texts.size() - 1)];
    set.add(text.string_value(), entry[L"action"].string_value());
}

void Responder::boredom(ResponseSet& set) const { pick(set, file_[L"boredom"]); }

void Responder::unknown(ResponseSet& set, const std::wstring& keyword) const {
    set.set(L"keyword", keyword);
    pick(set, file_[L"unknown"]);
}

void Responder::through(ResponseSet& set, const std::wstring& keyword) const {
    set.set(L"keyword", keyword);
    pick(set, file_[L"through"]);
}

void Responder::related(ResponseSet& set, const std::wstring& keyword,
                        const Relatives& relatives) const {
    set.set(L"keyword", keyword);
    if (!relatives.nouns.empty()) {
        set.set(L"noun", relatives.nouns[kiro::randomIndex(relatives.nouns.size() - 1)]);
        pick(set, file_[L"related_noun"]);
    }
    if (!relatives.adjectives.empty()) {
        set.set(L"adj", relatives.adjectives[kiro::randomIndex(relatives.adjectives.size() - 1)]);
        pick(set, file_[L"related_adjective"]);
    }
}

}  // namespace tavi::oreb
