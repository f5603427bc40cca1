#pragma once

#include <cstdint>

// A whole game played by the CPU player without a screen, through the rules' own frame, 20 ms of
// the rules' clock a frame: for measuring its strength and speed, and for tests.

struct CpuGameLimits {
    std::uint32_t rows = 3000;             // the game is stopped once this many rows are removed
    std::int64_t gameMs = 60 * 60 * 1000;  // ... or once this much game time has passed
};

struct CpuGameResult {
    std::uint32_t rows = 0;  // rows removed, counted here: the game's lines counter wraps at 256
    std::uint32_t score = 0;
    std::uint8_t topLevel = 0;
    std::uint64_t pieces = 0;  // pieces locked
    std::uint64_t frames = 0;
    bool gameOver = false;         // false when a limit stopped it
    std::uint32_t clears[5] = {};  // landings that removed 1, 2, 3 and 4 rows (index 0 unused)
};

class Random;

// Plays one game with the present settings, its pieces drawn from `random` as it stands (the
// caller seeds it: the CPU player never draws from it). The game and its key timers are its own.
CpuGameResult PlayCpuGame(const CpuGameLimits& limits, Random& random);
