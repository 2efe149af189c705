// The words the corpus relates to a known keyword, split by part of speech.
#pragma once

#include <string>
#include <vector>

namespace tavi::oreb {

struct Relatives {
    std::vector<std::wstring> nouns;
    std::vector<std::wstring> adjectives;
};

}  // namespace tavi::oreb
