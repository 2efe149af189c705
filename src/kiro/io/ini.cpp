// INI settings files: loading, typed values that store their defaults, and saving.
#include "kiro/io/ini.h"

#include <cerrno>
#include <climits>
#include <cwchar>

#include "kiro/io/text.h"

namespace kiro::io {

namespace {

// std::stoi's reading: leading white space, an optional sign, decimal digits up to the first
// non-digit; false when there is no digit or the number does not fit 32 bits.
bool parseInt(const std::wstring& s, int* out) {
    const wchar_t* begin = s.c_str();
    wchar_t* end = nullptr;
    errno = 0;
    const long long v = std::wcstoll(begin, &end, 10);
    if (end == begin || errno == ERANGE || v < INT_MIN || v > INT_MAX) return false;
    *out = int(v);
    return true;
}

}  // namespace

std::wstring Ini::Value::getString(const std::wstring& def) {
    if (s_.empty()) s_ = def;
    return s_;
}

int Ini::Value::getInt(int def) {
    if (s_.empty()) {
        setInt(def);
        return def;
    }
    int v = def;
    return parseInt(s_, &v) ? v : def;
}

bool Ini::Value::getBool(bool def) {
    if (s_.empty()) {
        setBool(def);
        return def;
    }
    if (s_ == L"true") return true;
    if (s_ == L"false") return false;
    return getInt(0) != 0;
}

void Ini::Value::setInt(int v) { s_ = std::to_wstring(v); }

void Ini::Value::setBool(bool v) { s_ = v ? L"true" : L"false"; }

Ini::Ini(const std::wstring& path) : path_(path) { load(); }

void Ini::load() {
    if (path_.empty()) return;
    const Text text(path_);
    std::wstring current;
    for (const auto& line : text.split(L'\n')) {
        if (line.empty() || line[0] == L';' || line[0] == L'#') continue;
        if (line[0] == L'[') {
            const size_t close = line.find(L']');
            if (close != std::wstring::npos) current = line.substr(1, close - 1);
            continue;
        }
        const size_t eq = line.find(L'=');
        if (eq == std::wstring::npos) continue;
        sections_[current][line.substr(0, eq)] = Value(line.substr(eq + 1));
    }
}

bool Ini::save(const std::wstring& path) const {
    const std::wstring& target = path.empty() ? path_ : path;
    if (target.empty()) return false;
    Text text;
    for (const auto& [name, section] : sections_) {
        if (section.empty()) continue;
        if (!name.empty()) text.append(L"[" + name + L"]\n");
        for (const auto& [key, value] : section.keys()) text.append(key + L"=" + value.str() + L"\n");
        text.append(L"\n");
    }
    return text.save(target);
}

}  // namespace kiro::io
