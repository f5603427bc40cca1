#pragma once

#include <cstdint>

// The game's only clock: signed 64-bit milliseconds with an arbitrary origin, from the
// high-resolution counter. Timers keep readings t and test NowMs() - t >= n.
std::int64_t NowMs();

// Waits out the rest of a frame period in whole milliseconds (0 yields).
void SleepMs(std::int64_t ms);
