// The one process-wide random generator: a uniformly drawn integer in 0..n inclusive.
#pragma once

#include <cstddef>

namespace kiro {

// randomIndex(0) is 0 without a draw. Safe to call from any thread.
size_t randomIndex(size_t n);

}  // namespace kiro

using kiro::randomIndex;
