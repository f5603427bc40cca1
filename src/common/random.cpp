#include "common/random.h"

namespace {
std::uint32_t randomState = 1;
std::uint64_t drawCount = 0;
}  // namespace

void SeedRandom(std::uint32_t seed) { randomState = seed; }

// A linear congruential generator whose upper bits give the 15-bit range the piece and
// garbage formulas are written for.
int NextRandom() {
    randomState = randomState * 214013u + 2531011u;
    ++drawCount;
    return static_cast<int>((randomState >> 16) & 0x7FFFu);
}

std::uint8_t RandomIndex(int n) {
    const double r = NextRandom();
    return static_cast<std::uint8_t>(r / (RANDOM_MAX + 1.0) * (n - 1) + 1);
}

std::uint32_t RandomState() { return randomState; }
std::uint64_t RandomDrawCount() { return drawCount; }
