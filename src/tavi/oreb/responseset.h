// The candidate lines of one draw and the placeholder values filled into the drawn line.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "kiro/clock.h"
#include "tavi/eventmessage.h"

namespace tavi::oreb {

class ResponseSet {
public:
    using Variables = std::unordered_map<std::wstring, std::wstring>;

    // The clock gives the time of day for the "hour", "minute" and "second" placeholders.
    explicit ResponseSet(kiro::LocalClock clock = kiro::localTime);

    void add(const Response& candidate) { candidates_.push_back(candidate); }
    void add(std::wstring text, std::wstring action);
    // Inserts or overwrites.
    void set(const std::wstring& key, const std::wstring& value);
    bool empty() const { return candidates_.empty(); }

    // Draws one candidate uniformly, fills its placeholders (%name%) and empties the set.
    // False, with nothing changed, when there are no candidates.
    bool take(Response& out);

    const std::vector<Response>& candidates() const { return candidates_; }
    const Variables& variables() const { return variables_; }

    // Replaces every %key% in text by value, left to right; an inserted value is not rescanned.
    static void substitute(std::wstring& text, const std::wstring& key, const std::wstring& value);

private:
    kiro::LocalClock clock_;
    std::vector<Response> candidates_;
    Variables variables_;
};

}  // namespace tavi::oreb
