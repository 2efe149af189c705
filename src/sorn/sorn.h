// The language module: one process-wide MeCab model with the UniDic dictionary, turning
// Japanese text into tokens with part-of-speech flags and picking keyword tokens out of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace sorn {

// Bits of Token::flags, read from the UniDic feature columns.
enum Flag : uint32_t {
    Noun = 0x1,        // column 0 is 名詞
    General = 0x2,     // a noun with 一般 in one of columns 1 to 4
    Proper = 0x4,      // a noun with 固有名詞 in one of columns 1 to 4
    Adjective = 0x8,   // column 0 is 形容詞 (alone)
    Terminal = 0x10,   // neither noun nor adjective, surface begins with 。？！ (alone)
    Person = 0x10000,  // a noun with 人名 in one of columns 1 to 4
    Place = 0x20000,   // a noun with 地名 in one of columns 1 to 4
};

// One morpheme.
struct Token {
    std::wstring surface;  // exactly as in the input
    std::wstring feature;  // MeCab's comma-separated feature string
    std::wstring base;     // feature column 10 when there are more than 10 columns, else surface
    uint32_t flags = 0;
};

// Creates the model from "sorn/etc/mecabrc" and "sorn/dic/unidic" below the current
// directory and reads the excluded nouns of "sorn/sorn.json". False when the model already
// exists or MeCab cannot start.
bool initialize();
// Deletes the model. Called only when no analysis can be running.
void finalize();

// The tokens of a text in order; empty for an empty text or while the module is off.
// Safe to call from several threads at once.
std::vector<Token> analyze(const std::wstring& text);
// The tokens with General set, in order.
std::vector<Token> keywords(const std::vector<Token>& tokens);

std::string toUtf8(const std::wstring& text);
// length -1 reads up to the terminating zero; the result ends at the first zero character.
std::wstring toWide(const char* bytes, int length = -1);

}  // namespace sorn
