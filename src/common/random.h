#pragma once

#include <cstdint>

// The game's one random generator, values 0..32767, seeded once at start-up and shared by
// piece generation, garbage rows and the sound manager's buffer pick.
constexpr int RANDOM_MAX = 32767;
void SeedRandom(std::uint32_t seed);
int NextRandom();

// One draw scaled to 1..n-1 (truncated), each value about equally likely; n = 8 gives a piece
// type.
std::uint8_t RandomIndex(int n);
