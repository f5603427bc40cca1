#include "platform/clock.h"

#include <SDL.h>

#include "platform/clock_testing.h"

namespace {
// The manual clock belongs to the thread that turned it on; the music thread keeps real time.
struct ManualClock {
    bool on = false;
    std::int64_t now = 0;
    std::vector<std::int64_t> sleeps;
};
thread_local ManualClock manual;
}  // namespace

std::int64_t NowMs() {
    if (manual.on) return manual.now;
    static const std::int64_t frequency = static_cast<std::int64_t>(SDL_GetPerformanceFrequency());
    const auto counter = static_cast<std::int64_t>(SDL_GetPerformanceCounter());
    // Whole seconds and the remainder apart, so that counter x 1000 cannot overflow.
    return (counter / frequency) * 1000 + (counter % frequency) * 1000 / frequency;
}

void SleepMs(std::int64_t ms) {
    if (manual.on) {
        manual.sleeps.push_back(ms);
        manual.now += ms;
        return;
    }
    SDL_Delay(static_cast<Uint32>(ms < 0 ? 0 : ms));
}

void UseManualClock(std::int64_t startMs) {
    manual.on = true;
    manual.now = startMs;
    manual.sleeps.clear();
}
void SetManualClock(std::int64_t ms) { manual.now = ms; }
void AdvanceManualClock(std::int64_t ms) { manual.now += ms; }
void StopManualClock() { manual.on = false; }
const std::vector<std::int64_t>& ManualSleeps() { return manual.sleeps; }
