// Tick arithmetic: the same float steps as the counts themselves take, so the tick found is
// the tick on which the count acts.
#include "tavi/ticks.h"

namespace tavi {

uint32_t ticksUntilSpent(float seconds) {
    uint32_t ticks = 1;
    for (seconds -= TickSeconds; seconds > 0 && ticks < LongestWait; seconds -= TickSeconds) ++ticks;
    return ticks;
}

uint32_t ticksUntilPast(float from, float limit) {
    if (from > limit) return NeverDue;
    uint32_t ticks = 1;
    for (from += TickSeconds; !(from > limit) && ticks < LongestWait; from += TickSeconds) ++ticks;
    return ticks;
}

}  // namespace tavi
