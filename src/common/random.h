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

// The generator's whole state: SeedRandom(RandomState()) later gives the same draws again,
// which is how a recorded game starts from the pieces it had.
std::uint32_t RandomState();
// Draws taken since start-up, by anyone: a recording tells from it how many the sounds took
// between two frames of the rules.
std::uint64_t RandomDrawCount();
