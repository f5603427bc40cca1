#pragma once

#include <cstdint>
#include <vector>

#include "platform/clock.h"

// Test clock, for the calling thread only: while on, NowMs returns the manual reading and SleepMs
// advances it by the requested time and records the request instead of waiting.
void UseManualClock(std::int64_t startMs);
void SetManualClock(std::int64_t ms);
void AdvanceManualClock(std::int64_t ms);
void StopManualClock();
// The sleeps requested since UseManualClock, oldest first.
const std::vector<std::int64_t>& ManualSleeps();
