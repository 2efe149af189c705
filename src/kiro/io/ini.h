// INI settings files: ordered sections of ordered keys, typed values that store their defaults.
#pragma once

#include <map>
#include <string>

namespace kiro::io {

class Ini {
public:
    class Value {
    public:
        Value() = default;
        Value(std::wstring s) : s_(std::move(s)) {}
        std::wstring getString(const std::wstring& def);
        int getInt(int def);
        bool getBool(bool def);
        void setString(const std::wstring& s) { s_ = s; }
        void setInt(int v);
        void setBool(bool v);
        const std::wstring& str() const { return s_; }

    private:
        std::wstring s_;
    };

    class Section {
    public:
        Value& operator[](const std::wstring& key) { return keys_[key]; }
        const std::map<std::wstring, Value>& keys() const { return keys_; }
        bool empty() const { return keys_.empty(); }

    private:
        std::map<std::wstring, Value> keys_;
    };

    Ini() = default;
    explicit Ini(const std::wstring& path);

    void load();
    Section& section(const std::wstring& name) { return sections_[name]; }
    Section& operator[](const std::wstring& name) { return sections_[name]; }
    const std::map<std::wstring, Section>& sections() const { return sections_; }
    // To path, or to the stored path when path is empty; nothing when both are empty.
    bool save(const std::wstring& path = L"") const;
    const std::wstring& path() const { return path_; }

private:
    std::map<std::wstring, Section> sections_;
    std::wstring path_;
};

}  // namespace kiro::io
