// The records that travel between the parts of a character: an event handed to a brain and
// the line (text and motion name) a brain hands back.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace tavi {

struct EventMessage {
    enum Kind : uint32_t { Empty = 0, Named = 1, FreeText = 2 };

    uint32_t kind = Empty;
    // The event name for a named event, the sentence for free text.
    std::wstring name;
    // Placeholder values; iteration order is undefined.
    std::unordered_map<std::wstring, std::wstring> params;
};

struct Response {
    // The line for the speech balloon, placeholders already replaced.
    std::wstring text;
    // The body motion to play while the line shows; may be empty.
    std::wstring action;
    // A conversation line (said after a pause, held back while another character talks)
    // rather than the answer to an event.
    bool chatter = false;

    bool operator==(const Response& o) const { return text == o.text && action == o.action; }
    bool operator!=(const Response& o) const { return !(*this == o); }
};

}  // namespace tavi
