// The platform part of the HTTP download: one GET performed on the calling thread.
#pragma once

#include <atomic>
#include <string>

#include "kiro/io/file.h"

namespace kiro::io::http {

// Performs the request with the rules of Download and appends the body to body. Returns true
// only for a complete body that is to be delivered; stop is checked often enough that a
// stalled server is given up within a fraction of a second of it being set.
bool get(const std::wstring& url, const std::atomic<bool>& stop, BinaryObject& body);

// Appends one piece of a body; false when the body would grow past Download::MaxBody or memory
// runs out, which ends the transfer as a failure.
bool keep(BinaryObject& body, const void* bytes, size_t n);

void trustAuthority(const std::wstring& pemFile);

}  // namespace kiro::io::http
