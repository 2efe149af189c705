// The command parser: a letters-only name check, then tokens split at blanks outside double
// quotes (the quotes themselves are dropped).
#include "tavi/tool/command.h"

namespace tavi::tool {

namespace {

bool isLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool isBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

bool qualifies(const std::wstring& s) {
    if (s.empty()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == L' ' && i > 0) return true;
        if (!isLetter(s[i])) return false;
    }
    return true;
}

std::vector<std::wstring> tokenize(const std::wstring& s) {
    std::vector<std::wstring> tokens;
    size_t i = 0;
    for (;;) {
        while (i < s.size() && isBlank(s[i])) ++i;
        if (i >= s.size()) break;
        std::wstring token;
        bool quoted = false;
        for (; i < s.size(); ++i) {
            if (s[i] == L'"') quoted = !quoted;
            else if (!quoted && isBlank(s[i])) break;
            else token += s[i];
        }
        if (token.empty()) break;  // a lone pair of quotes ends the command
        tokens.push_back(std::move(token));
    }
    return tokens;
}

}  // namespace

Command::Command(const std::wstring& s) {
    if (!qualifies(s)) return;
    std::vector<std::wstring> tokens = tokenize(s);
    for (size_t t = 1; t < tokens.size(); ++t) {
        const std::wstring& token = tokens[t];
        if (token[0] != L'-' && token[0] != L'/') {
            arguments.push_back(token);
            continue;
        }
        const size_t colon = token.find(L':');
        if (colon == std::wstring::npos) options[token.substr(1)] = L"true";
        else options[token.substr(1, colon - 1)] = token.substr(colon + 1);
    }
    text = s;
    name = tokens.front();
}

}  // namespace tavi::tool
