#include "music/mixer.h"

#include <algorithm>
#include <cstring>

#include "music/vector_code.h"

#if PLEMBY_HAS_AVX2_BUILD
#include <immintrin.h>
#elif PLEMBY_HAS_SSE2_BUILD
#include <emmintrin.h>
#endif

MixAccumulator mixAccumulator;

namespace {
constexpr int FRACTION_BITS = 32;
constexpr std::int64_t ONE = std::int64_t{1} << FRACTION_BITS;
// The step of about 40 Hz that stands in for a step too small to divide by.
constexpr std::uint32_t MIN_STEP_FRACTION = 0x369D00;
constexpr std::uint64_t MAX_SEGMENT_FRAMES = 0xFFFFFFFF;

std::int64_t FixedPosition(const Voice& voice) {
    return (std::int64_t{voice.position} << FRACTION_BITS) + voice.positionFraction;
}

void StoreFixedPosition(Voice& voice, std::int64_t position) {
    voice.position = static_cast<std::int32_t>(position >> FRACTION_BITS);
    voice.positionFraction = static_cast<std::uint32_t>(position);
}

void StopVoice(Voice& voice) {
    voice.sample = nullptr;
    voice.position = 0;
    voice.positionFraction = 0;
}

void StartRampIfTargetsMoved(Voice& voice) {
    const std::uint32_t targets = static_cast<std::uint32_t>(voice.leftTarget) << 16 |
                                  (static_cast<std::uint32_t>(voice.rightTarget) & 0xFFFF);
    if (voice.rampFramesLeft != 0 && targets == voice.rampTargets) return;
    voice.rampTargets = targets;
    voice.rightRampStep = (voice.rightTarget * 128 - voice.currentRight) >> 7;
    voice.leftRampStep = (voice.leftTarget * 128 - voice.currentLeft) >> 7;
    voice.rampFramesLeft = (voice.rightRampStep != 0 || voice.leftRampStep != 0) ? RAMP_FRAMES : 0;
}

void AddWrapping(std::int32_t& sum, std::int32_t value) {
    sum = static_cast<std::int32_t>(static_cast<std::uint32_t>(sum) +
                                    static_cast<std::uint32_t>(value));
}

// One side's share of an interpolated value at a volume in 1/128 steps.
std::int32_t Scale(std::int32_t value, std::int32_t volume) {
    const std::int64_t x = std::int64_t{value} * volume;
    const std::uint32_t a = static_cast<std::uint32_t>(x >> 6) + (x < 0 ? 1u : 0u);
    return static_cast<std::int32_t>(a) >> 1;
}

// The running state of one voice over a span of frames that crosses no boundary and no ramp
// end: every read stays within the sample's values and guards.
struct Span {
    const std::int16_t* data;
    std::int64_t position;  // 32.32
    std::int64_t step;      // negative while playing backward
    std::int32_t left;
    std::int32_t right;
    std::int32_t leftStep;
    std::int32_t rightStep;
};

void MixSpanPlain(Span& span, std::int32_t* out, std::int64_t frames) {
    const std::int16_t* data = span.data;
    std::int64_t position = span.position;
    std::int32_t left = span.left;
    std::int32_t right = span.right;
    // Copies the stores to out cannot touch.
    const std::int64_t step = span.step;
    const std::int32_t leftStep = span.leftStep;
    const std::int32_t rightStep = span.rightStep;
    for (std::int64_t i = 0; i < frames; ++i) {
        const std::int64_t index = position >> FRACTION_BITS;
        const std::uint32_t fraction = static_cast<std::uint32_t>(position);
        const std::int32_t s0 = data[index];
        const std::int32_t s1 = data[index + 1];
        const std::int32_t s =
            s0 * 64 + static_cast<std::int32_t>((std::int64_t{s1 - s0} * (fraction >> 1)) >> 25);
        AddWrapping(out[2 * i], Scale(s, left));
        AddWrapping(out[2 * i + 1], Scale(s, right));
        left += leftStep;
        right += rightStep;
        position += step;
    }
    span.position = position;
    span.left = left;
    span.right = right;
}

#if PLEMBY_HAS_SSE2_BUILD
// The sample value at a position and the one after it, as one 32-bit word.
inline int LoadPair(const std::int16_t* data, std::int64_t position) {
    int pair;
    std::memcpy(&pair, data + (position >> FRACTION_BITS), sizeof pair);
    return pair;
}

// How a span's volumes are applied: ramping, settled at any value, or settled at multiples of
// 128 (the usual case: volumes start at 0 and ramps move them by multiples of 128).
enum class Volumes { RAMP, SETTLED, SETTLED_BY_128 };

// Volumes within 16 bits let the vector builds find the products of one side, with s below
// 2^21 in magnitude, in 32-bit lanes.
bool NarrowVolumes(const Span& span, std::int64_t frames) {
    constexpr std::int64_t LIMIT = std::int64_t{1} << 15;
    const auto narrow = [](std::int64_t first, std::int64_t step, std::int64_t count) {
        const std::int64_t last = first + (count - 1) * step;
        return first >= -LIMIT && first < LIMIT && last >= -LIMIT && last < LIMIT;
    };
    return narrow(span.left, span.leftStep, frames) && narrow(span.right, span.rightStep, frames);
}

// The baseline build mixes four frames a step, in frame order. SSE2 multiplies 16-bit values
// only, so each 64-bit product of MixSpanPlain is rebuilt exactly from 16 x 16-bit ones.
constexpr int FOUR_FRAMES = 4;

// The interpolation of MixSpanPlain on four frames, from their value pairs (s0 in the low
// half, s1 in the high one), as the 16-bit pairs (s & 63, s >> 6) that the volume multiplies.
// SSE2 multiplies 32-bit numbers only unsigned, two lanes at a time, into 64 bits: with d
// lifted to d + 2^16 > 0, t = d x h >> 16 is ((d + 2^16) x h >> 16) - h; the slope is t >> 9,
// and s is 64 x s0 + the slope.
inline __m128i InterpolateFour(__m128i pairs, __m128i fractions) {
    const __m128i s0 = _mm_srai_epi32(_mm_slli_epi32(pairs, 16), 16);
    const __m128i lifted =
        _mm_add_epi32(_mm_sub_epi32(_mm_srai_epi32(pairs, 16), s0), _mm_set1_epi32(0x10000));
    const __m128i h = _mm_srli_epi32(fractions, 1);
    // Frames 0 and 2 in the low halves of the 64-bit products, 1 and 3 in the high halves.
    const __m128i even = _mm_sub_epi32(_mm_srli_epi64(_mm_mul_epu32(lifted, h), 16), h);
    const __m128i odd = _mm_sub_epi32(
        _mm_slli_epi64(_mm_mul_epu32(_mm_srli_epi64(lifted, 32), _mm_srli_epi64(h, 32)), 16), h);
    const __m128i t = _mm_shuffle_epi32(
        _mm_castps_si128(
            _mm_shuffle_ps(_mm_castsi128_ps(even), _mm_castsi128_ps(odd), _MM_SHUFFLE(3, 1, 2, 0))),
        _MM_SHUFFLE(3, 1, 2, 0));
    const __m128i whole = _mm_add_epi32(s0, _mm_srai_epi32(t, 15));
    const __m128i rest = _mm_and_si128(_mm_srai_epi32(t, 9), _mm_set1_epi32(63));
    return _mm_or_si128(rest, _mm_slli_epi32(whole, 16));
}

// Scale's rounding of q = s x volume >> 6.
inline __m128i RoundShare(__m128i q) {
    return _mm_srai_epi32(_mm_sub_epi32(q, _mm_srai_epi32(q, 31)), 1);
}

// The 16-bit multipliers (volume >> 7, volume >> 1) of a volume that is a multiple of 128.
// With them one product gives Scale's share: s x volume / 128, whole, with no rounding to do,
// as (s & 63) x volume / 128 + (s >> 6) x volume / 2.
inline __m128i SettledMultipliers(__m128i volume) {
    return _mm_or_si128(_mm_and_si128(_mm_srai_epi32(volume, 7), _mm_set1_epi32(0xFFFF)),
                        _mm_slli_epi32(_mm_srai_epi32(volume, 1), 16));
}

// One side's share (Scale) of four values at any volumes within 16 bits.
inline __m128i ScaleFour(__m128i parts, __m128i volume) {
    const __m128i low = _mm_madd_epi16(parts, _mm_and_si128(volume, _mm_set1_epi32(0xFFFF)));
    const __m128i high = _mm_madd_epi16(parts, _mm_slli_epi32(volume, 16));
    return RoundShare(_mm_add_epi32(high, _mm_srai_epi32(low, 6)));
}

// Four values that start at first and grow by step, with 32-bit wrapping.
inline __m128i RisingFour(std::uint32_t first, std::uint32_t step) {
    return _mm_setr_epi32(static_cast<int>(first), static_cast<int>(first + step),
                          static_cast<int>(first + 2 * step), static_cast<int>(first + 3 * step));
}

template <Volumes VOLUMES>
void MixFoursSse2(Span& span, std::int32_t* out, std::int64_t frames) {
    const std::int16_t* data = span.data;
    const std::int64_t step = span.step;
    std::int64_t position = span.position;
    __m128i fractions =
        RisingFour(static_cast<std::uint32_t>(position), static_cast<std::uint32_t>(step));
    __m128i left = RisingFour(static_cast<std::uint32_t>(span.left),
                              static_cast<std::uint32_t>(span.leftStep));
    __m128i right = RisingFour(static_cast<std::uint32_t>(span.right),
                               static_cast<std::uint32_t>(span.rightStep));
    const __m128i leftSettled = SettledMultipliers(left);
    const __m128i rightSettled = SettledMultipliers(right);
    const __m128i fractionStep = _mm_set1_epi32(static_cast<int>(FOUR_FRAMES * step));
    const __m128i leftStep = _mm_set1_epi32(FOUR_FRAMES * span.leftStep);
    const __m128i rightStep = _mm_set1_epi32(FOUR_FRAMES * span.rightStep);
    const std::int64_t fours = frames / FOUR_FRAMES;
    for (std::int64_t g = 0; g < fours; ++g) {
        const __m128i pairs = _mm_setr_epi32(
            LoadPair(data, position), LoadPair(data, position + step),
            LoadPair(data, position + 2 * step), LoadPair(data, position + 3 * step));
        const __m128i parts = InterpolateFour(pairs, fractions);
        __m128i a;
        __m128i b;
        if constexpr (VOLUMES == Volumes::SETTLED_BY_128) {
            a = _mm_madd_epi16(parts, leftSettled);
            b = _mm_madd_epi16(parts, rightSettled);
        } else {
            a = ScaleFour(parts, left);
            b = ScaleFour(parts, right);
        }
        auto* sums = reinterpret_cast<__m128i*>(out + 2 * FOUR_FRAMES * g);
        _mm_storeu_si128(sums, _mm_add_epi32(_mm_loadu_si128(sums), _mm_unpacklo_epi32(a, b)));
        _mm_storeu_si128(sums + 1,
                         _mm_add_epi32(_mm_loadu_si128(sums + 1), _mm_unpackhi_epi32(a, b)));
        position += FOUR_FRAMES * step;
        fractions = _mm_add_epi32(fractions, fractionStep);
        if constexpr (VOLUMES == Volumes::RAMP) {
            left = _mm_add_epi32(left, leftStep);
            right = _mm_add_epi32(right, rightStep);
        }
    }
    // The last few frames go the plain way.
    const std::int64_t done = fours * FOUR_FRAMES;
    span.position = position;
    span.left += static_cast<std::int32_t>(done) * span.leftStep;
    span.right += static_cast<std::int32_t>(done) * span.rightStep;
    MixSpanPlain(span, out + 2 * done, frames - done);
}

// The same sums as MixSpanPlain, four frames at a time, where the volumes allow.
void MixSpanSse2(Span& span, std::int32_t* out, std::int64_t frames) {
    if (!NarrowVolumes(span, frames)) {
        MixSpanPlain(span, out, frames);
    } else if ((span.leftStep | span.rightStep) != 0) {
        MixFoursSse2<Volumes::RAMP>(span, out, frames);
    } else if (((span.left | span.right) & 127) == 0) {
        MixFoursSse2<Volumes::SETTLED_BY_128>(span, out, frames);
    } else {
        MixFoursSse2<Volumes::SETTLED>(span, out, frames);
    }
}
#endif

#if PLEMBY_HAS_AVX2_BUILD
// The vector build mixes eight frames a step. Its lanes hold the frames in the order 0, 4, 1,
// 5, 2, 6, 3, 7: the order in which the two vectors of four 64-bit positions interleave, and
// the one from which the left and right sums unpack into frame order.
constexpr int GROUP_FRAMES = 8;

// One side's share of eight interpolated values (Scale). With s below 2^21 in magnitude,
// s x volume / 64 is s x (volume >> 6) + ((s x (volume & 63)) >> 6), rounded down like the
// 64-bit product.
PLEMBY_AVX2 inline __m256i ScaleEight(__m256i s, __m256i volume) {
    const __m256i high = _mm256_srai_epi32(volume, 6);
    const __m256i low = _mm256_and_si256(volume, _mm256_set1_epi32(63));
    const __m256i a = _mm256_add_epi32(_mm256_mullo_epi32(s, high),
                                       _mm256_srai_epi32(_mm256_mullo_epi32(s, low), 6));
    return _mm256_srai_epi32(_mm256_sub_epi32(a, _mm256_srai_epi32(a, 31)), 1);
}

// The interpolation of MixSpanPlain on eight frames. The slope takes a 64-bit product: the
// even lanes in one multiply, the odd ones in another; a logical shift leaves the same low
// 32 bits as the arithmetic shift it stands for.
PLEMBY_AVX2 inline __m256i InterpolateEight(__m256i s0, __m256i s1, __m256i fractions) {
    const __m256i d = _mm256_sub_epi32(s1, s0);
    const __m256i half = _mm256_srli_epi32(fractions, 1);
    const __m256i even = _mm256_srli_epi64(_mm256_mul_epi32(d, half), 25);
    const __m256i odd = _mm256_srli_epi64(
        _mm256_mul_epi32(_mm256_srli_epi64(d, 32), _mm256_srli_epi64(half, 32)), 25);
    const __m256i slope = _mm256_blend_epi32(even, _mm256_slli_epi64(odd, 32), 0xAA);
    return _mm256_add_epi32(_mm256_slli_epi32(s0, 6), slope);
}

// The value pairs of a group's first count frames, in lane order; the lanes of frames beyond
// count repeat frame 0's pair, so that every read stays within the span.
PLEMBY_AVX2 inline __m256i LoadPairs(const std::int16_t* data, std::int64_t first,
                                     std::int64_t step, std::int64_t count) {
    const auto pairAt = [&](std::int64_t k) {
        return LoadPair(data, k < count ? first + k * step : first);
    };
    return _mm256_setr_epi32(pairAt(0), pairAt(4), pairAt(1), pairAt(5), pairAt(2), pairAt(6),
                             pairAt(3), pairAt(7));
}

// The sums that a group adds: frames 0 to 3 in the first vector, 4 to 7 in the second, each
// as left and right.
struct GroupSums {
    __m256i first;
    __m256i second;
};

// Settled volumes at multiples of 128 come as volume / 128: the share is then s x that, whole.
template <Volumes VOLUMES>
PLEMBY_AVX2 inline GroupSums MixGroup(__m256i s0, __m256i s1, __m256i fractions, __m256i left,
                                      __m256i right) {
    const __m256i s = InterpolateEight(s0, s1, fractions);
    __m256i a;
    __m256i b;
    if constexpr (VOLUMES == Volumes::SETTLED_BY_128) {
        a = _mm256_mullo_epi32(s, left);
        b = _mm256_mullo_epi32(s, right);
    } else {
        a = ScaleEight(s, left);
        b = ScaleEight(s, right);
    }
    // Pairs (left, right) of frames 0, 4, 2, 6 and of 1, 5, 3, 7 unpack into frame order.
    const __m256i even = _mm256_unpacklo_epi32(a, b);
    const __m256i odd = _mm256_unpackhi_epi32(a, b);
    return {_mm256_unpacklo_epi64(even, odd), _mm256_unpackhi_epi64(even, odd)};
}

// The positions of a group's frames: frames 0 to 3 in low, 4 to 7 in high.
struct GroupPositions {
    __m256i low;
    __m256i high;

    PLEMBY_AVX2 __m256i Indices() const {
        return _mm256_blend_epi32(_mm256_srli_epi64(low, 32), high, 0xAA);
    }
    PLEMBY_AVX2 __m256i Fractions() const {
        return _mm256_blend_epi32(low, _mm256_slli_epi64(high, 32), 0xAA);
    }
};

template <Volumes VOLUMES>
PLEMBY_AVX2 void MixGroupsAvx2(Span& span, std::int32_t* out, std::int64_t frames,
                               std::int64_t readable) {
    const std::int16_t* data = span.data;
    const std::int64_t step = span.step;
    std::int64_t first = span.position;  // of the group's frame 0
    GroupPositions positions;
    positions.low = _mm256_add_epi64(_mm256_set1_epi64x(first),
                                     _mm256_setr_epi64x(0, step, 2 * step, 3 * step));
    positions.high = _mm256_add_epi64(positions.low, _mm256_set1_epi64x(4 * step));
    const __m256i groupStep = _mm256_set1_epi64x(GROUP_FRAMES * step);
    const __m256i laneFrames = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    __m256i left =
        _mm256_add_epi32(_mm256_set1_epi32(span.left),
                         _mm256_mullo_epi32(laneFrames, _mm256_set1_epi32(span.leftStep)));
    __m256i right =
        _mm256_add_epi32(_mm256_set1_epi32(span.right),
                         _mm256_mullo_epi32(laneFrames, _mm256_set1_epi32(span.rightStep)));
    if constexpr (VOLUMES == Volumes::SETTLED_BY_128) {
        left = _mm256_srai_epi32(left, 7);
        right = _mm256_srai_epi32(right, 7);
    }
    const __m256i leftGroupStep = _mm256_set1_epi32(GROUP_FRAMES * span.leftStep);
    const __m256i rightGroupStep = _mm256_set1_epi32(GROUP_FRAMES * span.rightStep);
    // Below one point a frame, the group's values lie in a window of nine from its lowest.
    const bool windowed = step > -ONE && step < ONE;
    const std::int64_t lowestFrame = step < 0 ? GROUP_FRAMES - 1 : 0;
    const std::int64_t groups = frames / GROUP_FRAMES;
    auto* sums = reinterpret_cast<__m256i*>(out);
    for (std::int64_t g = 0; g < groups; ++g) {
        __m256i s0;
        __m256i s1;
        const std::int64_t lowest = (first + lowestFrame * step) >> FRACTION_BITS;
        if (windowed && lowest + GROUP_FRAMES < readable) {
            const __m256i offsets = _mm256_sub_epi32(
                positions.Indices(), _mm256_set1_epi32(static_cast<std::int32_t>(lowest)));
            const __m256i values = _mm256_cvtepi16_epi32(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + lowest)));
            const __m256i next = _mm256_cvtepi16_epi32(
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + lowest + 1)));
            s0 = _mm256_permutevar8x32_epi32(values, offsets);
            s1 = _mm256_permutevar8x32_epi32(next, offsets);
        } else {
            const __m256i pairs = LoadPairs(data, first, step, GROUP_FRAMES);
            s0 = _mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16);
            s1 = _mm256_srai_epi32(pairs, 16);
        }
        const GroupSums group = MixGroup<VOLUMES>(s0, s1, positions.Fractions(), left, right);
        _mm256_storeu_si256(sums, _mm256_add_epi32(_mm256_loadu_si256(sums), group.first));
        _mm256_storeu_si256(sums + 1, _mm256_add_epi32(_mm256_loadu_si256(sums + 1), group.second));
        sums += 2;
        first += GROUP_FRAMES * step;
        positions.low = _mm256_add_epi64(positions.low, groupStep);
        positions.high = _mm256_add_epi64(positions.high, groupStep);
        if constexpr (VOLUMES == Volumes::RAMP) {
            left = _mm256_add_epi32(left, leftGroupStep);
            right = _mm256_add_epi32(right, rightGroupStep);
        }
    }
    const std::int64_t rest = frames - groups * GROUP_FRAMES;
    if (rest > 0) {
        // A last, short group: only the sums of its frames are stored.
        const __m256i pairs = LoadPairs(data, first, step, rest);
        const GroupSums group =
            MixGroup<VOLUMES>(_mm256_srai_epi32(_mm256_slli_epi32(pairs, 16), 16),
                              _mm256_srai_epi32(pairs, 16), positions.Fractions(), left, right);
        alignas(32) std::int32_t restSums[2 * GROUP_FRAMES];
        _mm256_store_si256(reinterpret_cast<__m256i*>(restSums), group.first);
        _mm256_store_si256(reinterpret_cast<__m256i*>(restSums + 8), group.second);
        auto* slots = reinterpret_cast<std::int32_t*>(sums);
        for (std::int64_t k = 0; k < 2 * rest; ++k) AddWrapping(slots[k], restSums[k]);
    }
    span.position += frames * step;
    span.left += static_cast<std::int32_t>(frames) * span.leftStep;
    span.right += static_cast<std::int32_t>(frames) * span.rightStep;
}

// The same sums as MixSpanPlain, eight frames at a time, where the volumes allow.
PLEMBY_AVX2 void MixSpanAvx2(Span& span, std::int32_t* out, std::int64_t frames,
                             std::int64_t readable) {
    if (!NarrowVolumes(span, frames)) {
        MixSpanPlain(span, out, frames);
    } else if ((span.leftStep | span.rightStep) != 0) {
        MixGroupsAvx2<Volumes::RAMP>(span, out, frames, readable);
    } else if (((span.left | span.right) & 127) == 0) {
        MixGroupsAvx2<Volumes::SETTLED_BY_128>(span, out, frames, readable);
    } else {
        MixGroupsAvx2<Volumes::SETTLED>(span, out, frames, readable);
    }
}

#endif

void MixSpan(Span& span, std::int32_t* out, std::int64_t frames, std::int64_t readable) {
    switch (CodeBuildRuns()) {
#if PLEMBY_HAS_AVX2_BUILD
        case CodeBuild::AVX2:
            MixSpanAvx2(span, out, frames, readable);
            return;
#endif
#if PLEMBY_HAS_SSE2_BUILD
        case CodeBuild::BASELINE:
            MixSpanSse2(span, out, frames);
            return;
#endif
        default:
            MixSpanPlain(span, out, frames);
    }
    static_cast<void>(readable);
}

void MixFrames(Voice& voice, std::int32_t* out, std::int64_t frames, std::int64_t step) {
    Span span{voice.sample->data, FixedPosition(voice), step, voice.currentLeft, voice.currentRight,
              voice.leftRampStep, voice.rightRampStep};
    // A voice at exactly zero on both sides adds nothing: only its position moves on.
    if ((span.left | span.right | span.leftStep | span.rightStep) == 0) {
        StoreFixedPosition(voice, span.position + step * frames);
        return;
    }
    MixSpan(span, out, frames, std::int64_t{voice.sample->length} + SAMPLE_GUARD_VALUES);
    voice.currentLeft = span.left;
    voice.currentRight = span.right;
    StoreFixedPosition(voice, span.position);
}

// The most frames that keep every interpolation read within the sample's values and guards,
// whatever the step and the rounding of the frame count.
std::int64_t SafeFrames(const Voice& voice, std::int64_t position, std::int64_t step) {
    const std::int64_t lastIndex = std::int64_t{voice.sample->length} + 1;
    if (voice.direction == VOICE_BACKWARD) return position / step + 1;
    return ((lastIndex << FRACTION_BITS) + ONE - 1 - position) / step + 1;
}

// Whether SafeFrames exceeds n, found by a product where it cannot overflow; false when
// that cannot be shown so.
bool ClearOfSampleEnd(const Voice& voice, std::int64_t position, std::int64_t step,
                      std::int64_t n) {
    constexpr std::int64_t STEP_LIMIT = std::int64_t{1} << 40;
    constexpr std::int64_t FRAME_LIMIT = std::int64_t{1} << 22;
    if (step <= 0 || step >= STEP_LIMIT || n >= FRAME_LIMIT) return false;
    const std::int64_t lastIndex = std::int64_t{voice.sample->length} + 1;
    const std::int64_t room = voice.direction == VOICE_BACKWARD
                                  ? position
                                  : (lastIndex << FRACTION_BITS) + ONE - 1 - position;
    return room >= n * step;
}

// Loop handling once the voice has reached the boundary it was heading for.
void CrossBoundary(Voice& voice) {
    const Sample& sample = *voice.sample;
    const std::int64_t loopStart = sample.loopStart;
    const std::int64_t loopEnd = loopStart + sample.loopLength;
    if (sample.loopType == LOOP_FORWARD) {
        if (voice.position >= loopEnd) {
            const std::int64_t past = voice.position - loopEnd;
            voice.position = static_cast<std::int32_t>(
                loopStart + (past < sample.loopLength ? past : past % sample.loopLength));
        } else {
            // The frame count is rounded, so the position may stop a hair short of the end.
            StoreFixedPosition(voice, loopStart << FRACTION_BITS);
        }
        return;
    }
    if (sample.loopType != LOOP_PINGPONG) {
        StopVoice(voice);
        return;
    }
    const std::int64_t low = loopStart << FRACTION_BITS;
    const std::int64_t high = loopEnd << FRACTION_BITS;
    std::int64_t position = FixedPosition(voice);
    if (voice.direction == VOICE_FORWARD) {
        position = 2 * high - position;
        voice.direction = VOICE_BACKWARD;
        if (position < low) {
            position = 2 * low - position;
            voice.direction = VOICE_FORWARD;
        }
    } else {
        position = 2 * low - position;
        voice.direction = VOICE_FORWARD;
        if (position > high) {
            position = 2 * high - position;
            voice.direction = VOICE_BACKWARD;
        }
    }
    StoreFixedPosition(voice, std::clamp(position, low, high));
}
}  // namespace

void CopyVoiceNote(const Voice& from, Voice& to) {
    to.volume = from.volume;
    to.panning = from.panning;
    to.startOffset = from.startOffset;
    to.rightTarget = from.rightTarget;
    to.leftTarget = from.leftTarget;
    to.position = from.position;
    to.stepFraction = from.stepFraction;
    to.stepInteger = from.stepInteger;
    to.rampTargets = from.rampTargets;
    to.rightRampStep = from.rightRampStep;
    to.leftRampStep = from.leftRampStep;
}

void MixVoice(Voice& voice, std::int32_t* accumulator, int firstFrame, int frameCount) {
    std::int64_t n = frameCount;
    std::int32_t* out = accumulator + 2 * firstFrame;
    int idlePasses = 0;
    while (n > 0 && voice.sample != nullptr) {
        const Sample& sample = *voice.sample;
        const std::int64_t loopStart = sample.loopStart;
        const std::int64_t loopEnd = loopStart + sample.loopLength;
        const std::int64_t position = FixedPosition(voice);
        if (position < 0 || voice.position > static_cast<std::int64_t>(sample.length) + 1) {
            StopVoice(voice);
            return;
        }
        std::int64_t distance;
        if (voice.direction == VOICE_FORWARD) {
            const std::int64_t boundary =
                voice.position >= loopEnd ? std::int64_t{sample.length} : loopEnd;
            distance = ((boundary - voice.position) << FRACTION_BITS) - voice.positionFraction;
        } else {
            distance = position - (loopStart << FRACTION_BITS);
        }
        if (distance < 0) return;

        if (static_cast<std::uint32_t>(
                ((std::uint64_t{voice.stepInteger} << 32 | voice.stepFraction) >> 5)) == 0) {
            voice.stepFraction = MIN_STEP_FRACTION;
        }
        const std::uint64_t step = std::uint64_t{voice.stepInteger} << 32 | voice.stepFraction;
        const std::uint32_t divisor = static_cast<std::uint32_t>(step >> 5);
        const std::uint64_t dividend = static_cast<std::uint64_t>(distance) >> 5;
        const std::int64_t signedStep = static_cast<std::int64_t>(step);
        // Most calls end long before the boundary; a product shows that without dividing.
        const bool clearOfBoundary = dividend > n * std::uint64_t{divisor} &&
                                     ClearOfSampleEnd(voice, position, signedStep, n);
        std::uint64_t f = 1;
        if (!clearOfBoundary) {
            f = dividend / divisor + (dividend % divisor != 0 ? 1 : 0);
            f = std::min(f, MAX_SEGMENT_FRAMES);
        }

        bool boundaryReached = true;
        if (f != 0) {
            std::int64_t frames = n + 1;
            if (!clearOfBoundary) {
                frames = static_cast<std::int64_t>(f);
                if (!ClearOfSampleEnd(voice, position, signedStep, frames - 1)) {
                    frames = std::min(frames, SafeFrames(voice, position, signedStep));
                }
            }
            std::int64_t m = std::min(frames, n);
            const bool beyondCall = frames > n;
            StartRampIfTargetsMoved(voice);
            const bool rampRunning = voice.rampFramesLeft != 0;
            bool cutByRamp = false;
            if (rampRunning && voice.rampFramesLeft < m) {
                m = voice.rampFramesLeft;
                cutByRamp = true;
            }
            MixFrames(voice, out, m, voice.direction == VOICE_BACKWARD ? -signedStep : signedStep);
            out += 2 * m;
            n -= m;
            if (rampRunning) {
                voice.rampFramesLeft = static_cast<std::uint16_t>(voice.rampFramesLeft - m);
                if (voice.rampFramesLeft == 0) {
                    voice.rightRampStep = 0;
                    voice.leftRampStep = 0;
                }
            }
            if (cutByRamp) continue;
            if (beyondCall) return;
            boundaryReached = true;
            idlePasses = 0;
        } else if (++idlePasses > 2) {
            return;  // no frame can be made here; stay put rather than spin
        }
        if (boundaryReached) CrossBoundary(voice);
    }
}

void MixVoices(int firstFrame, int frameCount) {
    for (int v = 0; v < 2 * song.numChannels; ++v) {
        MixVoice(song.voices[v], mixAccumulator.data(), firstFrame, frameCount);
    }
}
