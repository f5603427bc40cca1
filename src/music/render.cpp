#include "music/render.h"

#include <algorithm>

#include "music/module_source.h"
#include "music/player.h"
#include "music/player_state.h"
#include "music/sequencer.h"
#include "music/song_arena.h"
#include "music/xm_loader.h"
#include "platform/audio.h"

MusicPlayer musicPlayer;

namespace {
constexpr std::uint32_t CONVERT_DIVISOR = 16320;  // 64 x 255: a full voice's scale
constexpr std::uint32_t CONVERT_HALF = CONVERT_DIVISOR / 2;
constexpr std::uint32_t MAX_SAMPLE = 32767;
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
    for (int i = 0; i < BLOCK_SAMPLES; ++i) {
        const std::int32_t s = sums[i];
        const std::uint32_t magnitude =
            s < 0 ? 0u - static_cast<std::uint32_t>(s) : static_cast<std::uint32_t>(s);
        // Rounded half up without a branch: the halves fall at random in music.
        std::uint32_t q = (magnitude + CONVERT_HALF) / CONVERT_DIVISOR;
        q = std::min(q, MAX_SAMPLE);
        q = (q * masterVolume) >> 15;
        const auto value = static_cast<std::int32_t>(q);
        StoreRingSample(out[i], static_cast<std::int16_t>(s < 0 ? -value : value));
        levelSums[i & 1] += q;
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
            musicPlayer.songEnded.store(true, std::memory_order_release);
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
