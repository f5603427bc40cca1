#pragma once

#include <cstdint>

// Periods and frequencies of notes. A period falls as the pitch rises: with the linear table a
// semitone is 64 units and a finetune step half a unit; with the Amiga table it is the classic
// period times 4.

constexpr std::int32_t LINEAR_BASE_PERIOD = 7680;
constexpr std::int32_t LINEAR_SEMITONE = 64;
constexpr double AMIGA_PERIOD_SCALE = 13.375;
constexpr int AMIGA_TOP_NOTE = 132;
constexpr std::int32_t LINEAR_MIDDLE_PERIOD = 4608;
constexpr std::int32_t LINEAR_OCTAVE = 768;
constexpr std::int32_t MIDDLE_C_HZ = 8363;
constexpr std::int64_t AMIGA_CLOCK = 14317456;
constexpr std::uint32_t LOWEST_FREQUENCY = 40;

// The period of transposed note n (cell note - 1 + relative note) with finetune f (-128..127).
std::int32_t NotePeriod(int n, int f, bool linear);

// The frequency in Hz that period + pitch offset plays at; 40 Hz when that sum is 0 or less.
std::uint32_t PeriodFrequency(std::int32_t period, std::int32_t pitchOffset, bool linear);

// A pitch step in 32.32 fixed point: source sample points per output frame.
struct PitchStep {
    std::uint32_t integer;
    std::uint32_t fraction;
};
PitchStep FrequencyStep(std::uint32_t frequency);
