// Tick arithmetic of the characters: the main window's tick carries 0.05 s of animation time,
// and the counts of motions, balloon and status line move by that step. These helpers tell how
// many ticks pass before such a count next matters, so the main window can sleep until then.
#pragma once

#include <cstdint>

namespace tavi {

constexpr float TickSeconds = 0.05f;
// Nothing will be due however many ticks pass.
constexpr uint32_t NeverDue = 0xFFFFFFFFu;
// The farthest a wait is planned ahead (one hour of ticks); past it the loop simply looks again.
constexpr uint32_t LongestWait = 72000;

// The ticks after which a count of seconds that loses TickSeconds per tick is at or below
// zero, counted exactly as the repeated subtraction goes; 1 for a count already there.
uint32_t ticksUntilSpent(float seconds);
// The ticks after which a count that gains TickSeconds per tick from `from` is above limit;
// NeverDue when it already is.
uint32_t ticksUntilPast(float from, float limit);

}  // namespace tavi
