#pragma once

#include <cstdint>
#include <vector>

// The game's only clock: signed 64-bit milliseconds with an arbitrary origin, from the
// high-resolution counter. Timers keep readings t and test NowMs() - t >= n.
std::int64_t NowMs();

// Waits out the rest of a frame period in whole milliseconds (0 yields).
void SleepMs(std::int64_t ms);

// Test clock, for the calling thread only: while on, NowMs returns the manual reading and SleepMs
// advances it by the requested time and records the request instead of waiting.
void UseManualClock(std::int64_t startMs);
void SetManualClock(std::int64_t ms);
void AdvanceManualClock(std::int64_t ms);
void StopManualClock();
// The sleeps requested since UseManualClock, oldest first.
const std::vector<std::int64_t>& ManualSleeps();
