// The event table: every line listed for an event becomes a candidate of the set.
#include "tavi/oreb/event.h"

namespace tavi::oreb {

Event::Event(const std::wstring& path) : file_(path) {}

void Event::collect(ResponseSet& set, const EventMessage& message) const {
    if (message.name.empty()) return;

    // Keys are unique, so the first member with the name is the only one.
    const json11w::Json& entry = file_.root()[message.name];
    if (entry.is_array()) {
        for (const json11w::Json& line : entry.array_items()) set.add(line.string_value(), L"speak");
    } else if (entry.is_object()) {
        const std::wstring& action = entry[L"action"].string_value();
        for (const json11w::Json& line : entry[L"texts"].array_items())
            set.add(line.string_value(), action);
    }

    for (const auto& [key, value] : message.params) set.set(key, value);
}

}  // namespace tavi::oreb
