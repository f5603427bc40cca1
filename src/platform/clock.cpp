#include "platform/clock.h"

#include <SDL.h>

#include "platform/clock_testing.h"

namespace {
// The manual clock belongs to the thread that turned it on; the music thread keeps real time.
thread_local bool manualClock = false;
thread_local std::int64_t manualNow = 0;
thread_local std::vector<std::int64_t> manualSleeps;
}  // namespace

std::int64_t NowMs() {
    if (manualClock) return manualNow;
    static const std::int64_t frequency = static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    const auto counter = static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    // Whole seconds and the remainder apart, so that counter x 1000 cannot overflow.
    return (counter / frequency) * 1000 + (counter % frequency) * 1000 / frequency;
}

void SleepMs(std::int64_t ms) {
    if (manualClock) {
        manualSleeps.push_back(ms);
        manualNow += ms;
        return;
    }
    SDL_Delay(static_cast<Uint32>(ms < 0 ? 0 : ms));
}

void UseManualClock(std::int64_t startMs) {
    manualClock = true;
    manualNow = startMs;
    manualSleeps.clear();
}
void SetManualClock(std::int64_t ms) { manualNow = ms; }
void AdvanceManualClock(std::int64_t ms) { manualNow += ms; }
void StopManualClock() { manualClock = false; }
const std::vector<std::int64_t>& ManualSleeps() { return manualSleeps; }
