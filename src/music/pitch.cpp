#include "music/pitch.h"

#include <cmath>
#include <cstdlib>

#include "music/block_render.h"

namespace {

std::int32_t AmigaPeriod(int m) {
    return static_cast<std::int32_t>(
        std::lround(AMIGA_PERIOD_SCALE * std::exp2((AMIGA_TOP_NOTE - m) / 12.0)));
}

// Song data can push a frequency far out of any audible range; keep the conversion defined.
std::uint32_t RoundFrequency(double hz) {
    if (!(hz > 0.0)) return 0;
    if (hz >= 4294967295.0) return 4294967295u;
    return static_cast<std::uint32_t>(std::llround(hz));
}

}  // namespace

std::int32_t NotePeriod(int n, int f, bool linear) {
    if (linear) return LINEAR_BASE_PERIOD - LINEAR_SEMITONE * n - f / 2;
    const std::int32_t p = AmigaPeriod(n);
    const std::int32_t neighbour = AmigaPeriod(f >= 0 ? n + 1 : n - 1);
    return p + std::abs(f) * (neighbour - p) / 128;
}

std::uint32_t PeriodFrequency(std::int32_t period, std::int32_t pitchOffset, bool linear) {
    const std::int64_t e = static_cast<std::int64_t>(period) + pitchOffset;
    if (e <= 0) return LOWEST_FREQUENCY;
    if (!linear) return static_cast<std::uint32_t>(AMIGA_CLOCK / e);
    const double exponent = static_cast<double>(LINEAR_MIDDLE_PERIOD -
                                                static_cast<std::int64_t>(period) + pitchOffset) /
                            LINEAR_OCTAVE;
    return RoundFrequency(MIDDLE_C_HZ * std::exp2(exponent));
}

PitchStep FrequencyStep(std::uint32_t frequency) {
    const std::uint32_t integer = frequency / OUTPUT_RATE;
    const std::uint64_t rest = frequency % OUTPUT_RATE;
    const auto fraction = static_cast<std::uint32_t>(((rest << 32) + integer) / OUTPUT_RATE);
    return {integer, fraction};
}
