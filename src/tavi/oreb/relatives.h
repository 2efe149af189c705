// The words the corpus relates to a known keyword: nouns and adjectives, in no particular order.
#pragma once

#include <string>
#include <vector>

namespace tavi::oreb {

struct Relatives {
    std::vector<std::wstring> nouns;
    std::vector<std::wstring> adjectives;
};

}  // namespace tavi::oreb
