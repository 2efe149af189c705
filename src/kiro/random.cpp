// The process-wide random generator: one mt19937_64, seeded once from the system's
// non-deterministic source, shared by the main thread and every brain's worker.
#include "kiro/random.h"

#include <mutex>
#include <random>

namespace kiro {

size_t randomIndex(size_t n) {
    if (n == 0) return 0;
    static std::mutex lock;
    static std::mt19937_64 engine{std::random_device{}()};
    std::uniform_int_distribution<size_t> pick(0, n);
    std::lock_guard<std::mutex> guard(lock);
    return pick(engine);
}

}  // namespace kiro
