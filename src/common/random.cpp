#include "common/random.h"

namespace {
struct Generator {
    std::uint32_t state = 1;
    std::uint64_t draws = 0;  // since the program started
};
Generator generator;
}  // namespace

void SeedRandom(std::uint32_t seed) { generator.state = seed; }

// A linear congruential generator whose upper bits give the 15-bit range the piece and
// garbage formulas are written for.
int NextRandom() {
    generator.state = generator.state * 214013u + 2531011u;
    ++generator.draws;
    return static_cast<int>((generator.state >> 16) & 0x7FFFu);
}

std::uint8_t RandomIndex(int n) {
    const double r = NextRandom();
    return static_cast<std::uint8_t>(r / (RANDOM_MAX + 1.0) * (n - 1) + 1);
}

std::uint32_t RandomState() { return generator.state; }
std::uint64_t RandomDrawCount() { return generator.draws; }
