#pragma once

#include <cstdint>
#include <iterator>
#include <string_view>

// How well the CPU player plays a versus match, listed once: the set-up screen, the stored
// results and the CPU player take them from here.
enum class CpuStrength : std::uint8_t { Easy, Medium, Hard };

struct CpuStrengthNames {
    CpuStrength strength;
    std::string_view caption;  // on the screens
};
inline constexpr CpuStrengthNames CPU_STRENGTHS[] = {
    {CpuStrength::Easy, "EASY"},
    {CpuStrength::Medium, "MEDIUM"},
    {CpuStrength::Hard, "HARD"},
};
constexpr int CPU_STRENGTH_COUNT = static_cast<int>(std::size(CPU_STRENGTHS));
constexpr int StrengthIndex(CpuStrength strength) { return static_cast<int>(strength); }
static_assert(StrengthIndex(CPU_STRENGTHS[CPU_STRENGTH_COUNT - 1].strength) + 1 ==
              CPU_STRENGTH_COUNT);
