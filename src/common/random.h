#pragma once

#include <cstdint>

// A random generator, values 0..32767. The program has one, seeded once at start-up; a game
// names the generator it draws from (the single-player game is lent the program's from its start
// to its end), and whoever else draws during a game (the sound manager's buffer pick) is handed
// that game's generator.
constexpr int RANDOM_MAX = 32767;

class Random {
public:
    explicit Random(std::uint32_t seed = 1) : state_(seed) {}

    void Seed(std::uint32_t seed) { state_ = seed; }
    int Next();
    // One draw scaled to 1..n-1 (truncated), each value about equally likely; n = 8 gives a piece
    // type.
    std::uint8_t Index(int n);
    // The whole state: Seed(State()) later gives the same draws again, which is how a recorded
    // game starts from the pieces it had.
    std::uint32_t State() const { return state_; }
    // Draws taken from this generator, by anyone: a recording tells from it how many the sounds
    // took between two frames of the rules.
    std::uint64_t Draws() const { return draws_; }

private:
    std::uint32_t state_;
    std::uint64_t draws_ = 0;
};

// The program's one generator.
Random& ProgramRandom();

// The same on the program's generator.
void SeedRandom(std::uint32_t seed);
int NextRandom();
std::uint8_t RandomIndex(int n);
std::uint32_t RandomState();
std::uint64_t RandomDrawCount();
