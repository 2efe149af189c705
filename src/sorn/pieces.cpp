// Cutting a long text at line feeds, then after "。", then anywhere.
#include "sorn/pieces.h"

#include <cstdint>

namespace sorn {
namespace {

// UTF-8 bytes of one wchar_t: a code point on Linux, a UTF-16 unit on Windows (each half of
// a surrogate pair counts two of the pair's four bytes).
size_t utf8Length(wchar_t c) {
    const auto u = static_cast<uint32_t>(c);
    if (u < 0x80) return 1;
    if (u < 0x800) return 2;
    if (u >= 0xD800 && u <= 0xDFFF) return 2;
    if (u < 0x10000) return 3;
    return 4;
}

bool isHighSurrogate(wchar_t c) {
    const auto u = static_cast<uint32_t>(c);
    return u >= 0xD800 && u <= 0xDBFF;
}

}  // namespace

std::vector<std::wstring_view> cutPieces(std::wstring_view text, size_t limitBytes) {
    std::vector<std::wstring_view> pieces;
    const size_t npos = std::wstring_view::npos;
    size_t start = 0;
    while (start < text.size()) {
        size_t bytes = 0;
        size_t i = start;
        size_t afterBreak = npos;
        size_t afterStop = npos;
        for (; i < text.size(); ++i) {
            const size_t length = utf8Length(text[i]);
            if (bytes + length > limitBytes) break;
            bytes += length;
            if (text[i] == L'\n') afterBreak = i + 1;
            else if (text[i] == L'\u3002') afterStop = i + 1;
        }
        if (i == text.size()) {
            pieces.push_back(text.substr(start));
            break;
        }
        size_t end = afterBreak != npos ? afterBreak : afterStop != npos ? afterStop : i;
        if (end == i && end > start + 1 && isHighSurrogate(text[end - 1])) --end;
        if (end == start) end = start + 1;  // only with a limit below one character
        pieces.push_back(text.substr(start, end - start));
        start = end;
    }
    return pieces;
}

std::vector<std::wstring_view> sentencesOf(std::wstring_view text) {
    auto whole = cutPieces(text, WholeTextLimit);
    if (whole.size() <= 1) return whole;
    return cutPieces(text, PieceLimit);
}

}  // namespace sorn
