#include "music/block_render.h"

#include <algorithm>

#include "music/mixer.h"
#include "music/module_source.h"
#include "music/player.h"
#include "music/player_state.h"
#include "music/sequencer.h"
#include "music/song_arena.h"
#include "music/vector_code.h"
#include "music/xm_loader.h"
#include "platform/audio.h"

#if PLEMBY_HAS_AVX2_BUILD
#include <immintrin.h>
#elif PLEMBY_HAS_SSE2_BUILD
#include <emmintrin.h>
#endif

MusicPlayer musicPlayer;

namespace {
constexpr std::uint32_t CONVERT_DIVISOR = 16320;  // 64 x 255: a full voice's scale
constexpr std::uint32_t CONVERT_HALF = CONVERT_DIVISOR / 2;
constexpr std::uint32_t MAX_SAMPLE = 32767;
// The largest magnitude that converts to MAX_SAMPLE rather than beyond it.
constexpr std::uint32_t CLIP_MAGNITUDE = (MAX_SAMPLE + 1) * CONVERT_DIVISOR - CONVERT_HALF - 1;
static_assert(CONVERT_DIVISOR == 64 * 255);
constexpr int FRAMES_PER_MS = OUTPUT_RATE / 1000;
constexpr int LEVEL_SHIFT = 10;  // a block's 1024 magnitudes to their mean

std::uint32_t PackPosition() {
    return static_cast<std::uint32_t>(songState.orderPosition) << 16 |
           (static_cast<std::uint32_t>(songState.row) & 0xFFFF);
}

// Runs the song through one block's frames: a tick whenever the last one's frames are used
// up, the voices mixed in slices that end at tick boundaries. False when a song that does not
// loop has just played its last row.
bool AdvanceSong() {
    int framesLeft = BLOCK_FRAMES;
    while (framesLeft > 0) {
        if (songState.framesLeftInTick <= 0 && PlayTick() && musicPlayer.stopAtEnd) return false;
        const int n = std::min(songState.framesLeftInTick, framesLeft);
        MixVoices(BLOCK_FRAMES - framesLeft, n);
        musicPlayer.elapsedMs.fetch_add(static_cast<std::uint32_t>(n / FRAMES_PER_MS),
                                        std::memory_order_relaxed);
        songState.framesLeftInTick -= n;
        framesLeft -= n;
    }
    return true;
}

// One sum to a 16-bit sample at the master volume (at most 32768); returns the sample's
// magnitude. The sum's magnitude is divided by 16320, rounded half up, and held at 32767. The
// steps below give exactly that in a form that runs as vector code: a magnitude clipped just
// below the one that rounds to 32768, the division as a shift by 6 and a division by 255 that
// single precision does exactly for numbers under 2^23, and the volume as a 16-bit product:
// the same steps as the vector build.
std::uint32_t ConvertSum(std::int32_t s, std::uint32_t masterVolume, std::int16_t& sample) {
    const std::uint32_t sign = static_cast<std::uint32_t>(s >> 31);  // all ones when negative
    std::uint32_t magnitude = (static_cast<std::uint32_t>(s) ^ sign) - sign;
    magnitude = std::min(magnitude, CLIP_MAGNITUDE);
    const std::uint32_t sixtyFourths = (magnitude + CONVERT_HALF) >> 6;
    const auto q = static_cast<std::int32_t>(
        static_cast<float>(static_cast<std::int32_t>(sixtyFourths)) * (1.0f / 255.0f));
    const std::uint32_t scaled = (static_cast<std::uint32_t>(static_cast<std::uint16_t>(2 * q)) *
                                  static_cast<std::uint16_t>(masterVolume)) >>
                                 16;
    sample = static_cast<std::int16_t>((scaled ^ sign) - sign);
    return scaled;
}

void ConvertSums(const std::int32_t* sums, std::int16_t* out, std::uint32_t masterVolume,
                 std::uint32_t levelSums[2]) {
    for (int i = 0; i < BLOCK_SAMPLES; i += 2) {
        std::int16_t left;
        std::int16_t right;
        levelSums[0] += ConvertSum(sums[i], masterVolume, left);
        levelSums[1] += ConvertSum(sums[i + 1], masterVolume, right);
        StoreRingSample(out[i], left);
        StoreRingSample(out[i + 1], right);
    }
}

#if PLEMBY_HAS_SSE2_BUILD
// The rounded sixty-fourths of four sums' magnitudes, divided by 255 (ConvertSum), not yet
// clipped: magnitudes beyond the clip give quotients above 32767, which the 16-bit packing
// holds at 32767 as the clip does.
inline __m128i QuotientsFour(__m128i s, __m128i sign) {
    // The magnitude of INT32_MIN stays 2^31, read as unsigned.
    const __m128i magnitude = _mm_sub_epi32(_mm_xor_si128(s, sign), sign);
    const __m128i sixtyFourths =
        _mm_srli_epi32(_mm_add_epi32(magnitude, _mm_set1_epi32(CONVERT_HALF)), 6);
    return _mm_cvttps_epi32(_mm_mul_ps(_mm_cvtepi32_ps(sixtyFourths), _mm_set1_ps(1.0f / 255.0f)));
}

// ConvertSum on eight sums, as 16-bit lanes; their magnitudes are added to the level sums.
inline __m128i ConvertEightSse2(const std::int32_t* sums, __m128i volume, __m128i& leftLevels,
                                __m128i& rightLevels) {
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(sums + 4));
    const __m128i lowSign = _mm_srai_epi32(low, 31);
    const __m128i highSign = _mm_srai_epi32(high, 31);
    const __m128i q = _mm_packs_epi32(QuotientsFour(low, lowSign), QuotientsFour(high, highSign));
    // 2q and the volume fit in 16 bits; so does the scaled magnitude, at most 32767.
    const __m128i scaled = _mm_mulhi_epu16(_mm_slli_epi16(q, 1), volume);
    leftLevels = _mm_add_epi32(leftLevels, _mm_and_si128(scaled, _mm_set1_epi32(0xFFFF)));
    rightLevels = _mm_add_epi32(rightLevels, _mm_srli_epi32(scaled, 16));
    const __m128i sign = _mm_packs_epi32(lowSign, highSign);
    return _mm_sub_epi16(_mm_xor_si128(scaled, sign), sign);
}

void ConvertSumsSse2(const std::int32_t* sums, std::int16_t* out, std::uint32_t masterVolume,
                     std::uint32_t levelSums[2]) {
    const __m128i volume = _mm_set1_epi16(static_cast<std::int16_t>(masterVolume));
    __m128i leftLevels = _mm_setzero_si128();
    __m128i rightLevels = _mm_setzero_si128();
    for (int i = 0; i < BLOCK_SAMPLES; i += 8) {
        alignas(16) std::int16_t samples[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(samples),
                        ConvertEightSse2(sums + i, volume, leftLevels, rightLevels));
        // The ring takes the samples one by one, as the device thread reads them.
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k) StoreRingSample(out[i + k], samples[k]);
    }
    alignas(16) std::uint32_t lanes[2][4];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes[0]), leftLevels);
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes[1]), rightLevels);
    for (int k = 0; k < 4; ++k) {
        levelSums[0] += lanes[0][k];
        levelSums[1] += lanes[1][k];
    }
}
#endif

#if PLEMBY_HAS_AVX2_BUILD
// ConvertSum on eight sums; the magnitudes are added to levels.
PLEMBY_AVX2 __m256i ConvertEight(const std::int32_t* sums, __m256i volume, __m256i& levels) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(sums));
    // The magnitude of INT32_MIN stays 2^31, read as unsigned.
    const __m256i magnitude =
        _mm256_min_epu32(_mm256_abs_epi32(s), _mm256_set1_epi32(CLIP_MAGNITUDE));
    const __m256i sixtyFourths =
        _mm256_srli_epi32(_mm256_add_epi32(magnitude, _mm256_set1_epi32(CONVERT_HALF)), 6);
    const __m256i q = _mm256_cvttps_epi32(
        _mm256_mul_ps(_mm256_cvtepi32_ps(sixtyFourths), _mm256_set1_ps(1.0f / 255.0f)));
    // 2q and the volume fill only the low 16 bits of each lane, so the high halves give 0.
    const __m256i scaled = _mm256_mulhi_epu16(_mm256_slli_epi32(q, 1), volume);
    levels = _mm256_add_epi32(levels, scaled);
    return _mm256_sign_epi32(scaled, s);
}

PLEMBY_AVX2 void ConvertSumsAvx2(const std::int32_t* sums, std::int16_t* out,
                                 std::uint32_t masterVolume, std::uint32_t levelSums[2]) {
    const __m256i volume = _mm256_set1_epi32(static_cast<std::uint16_t>(masterVolume));
    __m256i levels = _mm256_setzero_si256();  // left in the even lanes, right in the odd
    for (int i = 0; i < BLOCK_SAMPLES; i += 16) {
        const __m256i low = ConvertEight(sums + i, volume, levels);
        const __m256i high = ConvertEight(sums + i + 8, volume, levels);
        alignas(32) std::int16_t samples[16];
        _mm256_store_si256(reinterpret_cast<__m256i*>(samples),
                           _mm256_permute4x64_epi64(_mm256_packs_epi32(low, high), 0xD8));
        // The ring takes the samples one by one, as the device thread reads them.
#pragma GCC unroll 16
        for (int k = 0; k < 16; ++k) StoreRingSample(out[i + k], samples[k]);
    }
    alignas(32) std::uint32_t lanes[8];
    _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), levels);
    for (int k = 0; k < 8; ++k) levelSums[k % 2] += lanes[k];
}
#endif

// A song that does not loop has played its last row: silence at once and the counters of a
// song that is gone, and only then is it seen as ended, so that whoever sees it ended also
// sees the output stopped. The song's memory stays until the game's thread joins the music
// thread (next PlayModule or StopModule), so that nothing the game may be reading goes away.
void EndSong() {
    StopMusicOutput();
    ClearPlayCounters();
    musicPlayer.songEnded.store(true, std::memory_order_release);
}

}  // namespace

void ReleaseSong() {
    ReleaseArena();
    song = Song{};
    ClearPlayCounters();
    musicPlayer.songEnded.store(false, std::memory_order_relaxed);
}

void ClearPlayCounters() {
    musicPlayer.playedBlock.store(0, std::memory_order_relaxed);
    musicPlayer.elapsedMs.store(0, std::memory_order_relaxed);
    for (BlockInfo& info : musicPlayer.blockInfo) {
        info.levels.store(0, std::memory_order_relaxed);
        info.position.store(0, std::memory_order_relaxed);
    }
}

void ConvertBlock(const std::int32_t* sums, std::int16_t* out, std::uint32_t masterVolume,
                  std::uint32_t levelSums[2]) {
    switch (CodeBuildRuns()) {
#if PLEMBY_HAS_AVX2_BUILD
        case CodeBuild::AVX2:
            ConvertSumsAvx2(sums, out, masterVolume, levelSums);
            return;
#endif
#if PLEMBY_HAS_SSE2_BUILD
        case CodeBuild::BASELINE:
            ConvertSumsSse2(sums, out, masterVolume, levelSums);
            return;
#endif
        default:
            ConvertSums(sums, out, masterVolume, levelSums);
    }
}

int LoadSong(const void* source, std::size_t second, std::uint32_t flags) {
    StopModule();
    if (source == nullptr) return 0;
    musicPlayer.stopAtEnd = (flags & MUSIC_NO_LOOP) != 0;
    musicPlayer.paused.store((flags & MUSIC_START_PAUSED) ? 1 : 0, std::memory_order_relaxed);
    std::uint32_t unset = 0;
    musicPlayer.masterVolume.compare_exchange_strong(unset, UNITY_VOLUME,
                                                     std::memory_order_relaxed);
    const bool loaded = OpenModuleSource(source, second, flags) && LoadModule() != 0;
    CloseModuleSource();
    if (!loaded) {
        ReleaseSong();
        return 0;
    }
    return 1;
}

bool RenderBlock(std::int16_t* out) {
    if (!song.loaded || musicPlayer.songEnded.load(std::memory_order_relaxed)) return false;
    mixAccumulator.fill(0);
    const std::uint32_t block = musicPlayer.writeIndex.load(std::memory_order_relaxed);
    if (musicPlayer.paused.load(std::memory_order_relaxed) == 0) {
        if (!AdvanceSong()) {
            EndSong();
            return false;
        }
        musicPlayer.blockInfo[block].position.store(PackPosition(), std::memory_order_relaxed);
    }
    std::uint32_t levelSums[2] = {0, 0};
    ConvertBlock(mixAccumulator.data(), out,
                 musicPlayer.masterVolume.load(std::memory_order_relaxed), levelSums);
    const std::uint32_t next = (block + 1) % RING_BLOCKS;
    musicPlayer.blockInfo[next].levels.store(
        (levelSums[0] >> LEVEL_SHIFT) << 16 | (levelSums[1] >> LEVEL_SHIFT),
        std::memory_order_relaxed);
    musicPlayer.writeIndex.store(next, std::memory_order_release);
    return true;
}
