// Parsing JSON straight from UTF-8 bytes, for readers of files that would otherwise decode the
// whole file to wide text first.
#pragma once

#include <cstddef>

#include "kiro/io/json11/json11w.h"

namespace json11w {

// Parses UTF-8 bytes into the same value Json::parse gives for their wide text. Returns false,
// leaving out alone, when they are not valid JSON or not plain UTF-8 (what
// kiro::io::utf8::isPlain accepts): the caller then decodes them and parses the wide text,
// which also gives the error message.
bool parseWellFormedUtf8(const char* data, size_t size, Json& out);

}  // namespace json11w
