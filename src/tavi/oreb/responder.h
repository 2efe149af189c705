// The response table ("response.json"): lines for long silence and for free-text keywords.
#pragma once

#include <string>

#include "kiro/io/json11/json11w.h"
#include "kiro/io/jsonfile.h"
#include "tavi/oreb/relatives.h"
#include "tavi/oreb/responseset.h"

namespace tavi::oreb {

class Responder {
public:
    // A missing or malformed file gives an empty table.
    explicit Responder(const std::wstring& path);

    // Adds one uniformly drawn line of the entry's "texts" with the entry's "action";
    // nothing when "texts" is missing or empty.
    void pick(ResponseSet& set, const json11w::Json& entry) const;

    void boredom(ResponseSet& set) const;
    void unknown(ResponseSet& set, const std::wstring& keyword) const;
    void through(ResponseSet& set, const std::wstring& keyword) const;
    void related(ResponseSet& set, const std::wstring& keyword, const Relatives& relatives) const;

    const kiro::io::JsonFile& file() const { return file_; }

private:
    kiro::io::JsonFile file_;
};

}  // namespace tavi::oreb
