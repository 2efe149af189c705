// The event table ("event.json"): named events mapped to the lines a character says for them.
#pragma once

#include <string>

#include "kiro/io/jsonfile.h"
#include "tavi/eventmessage.h"
#include "tavi/oreb/responseset.h"

namespace tavi::oreb {

class Event {
public:
    // A missing or malformed file gives an empty table.
    explicit Event(const std::wstring& path);

    // Adds every line listed under the message's name and merges its params into the
    // set's variables. A message with an empty name changes nothing.
    void collect(ResponseSet& set, const EventMessage& message) const;

    const kiro::io::JsonFile& file() const { return file_; }

private:
    kiro::io::JsonFile file_;
};

}  // namespace tavi::oreb
