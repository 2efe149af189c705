// Parsing JSON straight from UTF-8 bytes, for readers of files that would otherwise decode the
// whole file to wide text first.
#pragma once

#include <cstddef>

#include "kiro/io/json11/json11w.h"

namespace json11w {

// Parses bytes that kiro::io::utf8::isPlain accepts, into the same value Json::parse gives for
// their wide text. Returns false, leaving out alone, when the text is not valid JSON: the
// caller then parses the wide text to get the error message.
bool parseWellFormedUtf8(const char* data, size_t size, Json& out);

}  // namespace json11w
