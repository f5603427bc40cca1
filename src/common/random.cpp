#include "common/random.h"

namespace {
Random programRandom;
}  // namespace

// A linear congruential generator whose upper bits give the 15-bit range the piece and
// garbage formulas are written for.
int Random::Next() {
    state_ = state_ * 214013u + 2531011u;
    ++draws_;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

std::uint8_t Random::Index(int n) {
    const double r = Next();
    return static_cast<std::uint8_t>(r / (RANDOM_MAX + 1.0) * (n - 1) + 1);
}

Random& ProgramRandom() { return programRandom; }

void SeedRandom(std::uint32_t seed) { programRandom.Seed(seed); }
int NextRandom() { return programRandom.Next(); }
std::uint8_t RandomIndex(int n) { return programRandom.Index(n); }
std::uint32_t RandomState() { return programRandom.State(); }
std::uint64_t RandomDrawCount() { return programRandom.Draws(); }
