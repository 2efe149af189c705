// Cutting a long text into pieces that the analyser takes one sentence at a time.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace sorn {

// The longest text, in UTF-8 bytes, that is analysed as one sentence. MeCab's lattice grows
// to some hundred times its sentence, so a whole large file must not be one sentence.
constexpr size_t WholeTextLimit = 64 * 1024;
// The longest piece of a text that is cut. Small sentences keep the lattice in the processor's
// caches: 4 KiB pieces parse almost twice as fast as 64 KiB ones.
constexpr size_t PieceLimit = 4 * 1024;

// Consecutive pieces covering the whole text, each at most limitBytes long in UTF-8 (limit
// at least 4). A piece ends after the last line feed that fits; where none fits, after the
// last "。"; where neither does, at the limit. A text that fits is one piece.
std::vector<std::wstring_view> cutPieces(std::wstring_view text, size_t limitBytes);

// The sentences the analyser is given for a text: the whole text up to WholeTextLimit, else
// pieces of up to PieceLimit.
std::vector<std::wstring_view> sentencesOf(std::wstring_view text);

}  // namespace sorn
