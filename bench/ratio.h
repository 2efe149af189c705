// The 1 MB → 10 MB time ratio measured in pairs. Each iteration parses the 10 MB document once
// and the 1 MB one ten times, timing each side, and the ratio is taken over all of them: on a
// machine whose speed drifts (other guests on the host, a clock that steps), both sides slow
// down alike, where two benchmarks run one after the other would each catch a different phase.
// Argument "reuse" 1 runs the pairs as one job that keeps large blocks between documents (see
// kiro/io/pages.h), as the other benchmarks of our readers do; 0 gives every document fresh
// pages, which the system clears first, so the large side then also pays for that clearing
// where the small one fills the heap's warm block.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <optional>

#include "kiro/io/pages.h"

template <typename ParseSmall, typename ParseLarge>
void pairedRatio(benchmark::State& state, ParseSmall parseSmall, ParseLarge parseLarge) {
    using Clock = std::chrono::steady_clock;
    std::optional<kiro::io::pages::Reuse> job;
    if (state.range(0) != 0) job.emplace();
    Clock::duration small{}, large{};
    for (auto _ : state) {
        const auto start = Clock::now();
        for (int k = 0; k < 10; ++k) parseSmall();
        const auto middle = Clock::now();
        parseLarge();
        large += Clock::now() - middle;
        small += middle - start;
    }
    // Ten small parses against one large one: the large one's time over one small one's.
    state.counters["ratio"] = 10.0 * std::chrono::duration<double>(large).count() /
                              std::chrono::duration<double>(small).count();
}
