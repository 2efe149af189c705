// A parsed command string such as "memo -new": the tool's name, its arguments and its options.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace tavi::tool {

struct Command {
    // A string that does not start with a name made of ASCII letters (ended by the end or a
    // space) leaves every field empty.
    explicit Command(const std::wstring& s);

    bool hasOption(const std::wstring& key) const { return options.count(key) != 0; }

    std::wstring text;
    std::wstring name;
    // Later tokens beginning with neither '-' nor '/'.
    std::vector<std::wstring> arguments;
    // "-key" gives "true", "-key:value" gives value; a later one replaces an earlier one.
    std::unordered_map<std::wstring, std::wstring> options;
};

}  // namespace tavi::tool
