#include "music/player.h"

#include <algorithm>

#include "music/player_state.h"
#include "music/sequencer.h"
#include "platform/audio.h"
#include "platform/background_work.h"

namespace {
constexpr int POLL_INTERVAL_MS = 5;

std::uint32_t PlayingBlock() {
    return static_cast<std::uint32_t>((MusicOutputPosition() / RING_BLOCK_BYTES) % RING_BLOCKS);
}

std::int16_t* RingBlock(std::uint32_t block) {
    return musicPlayer.ring.data() + std::size_t{block} * BLOCK_SAMPLES;
}

// Renders every block the device's play cursor has left behind. False once a song that does
// not loop has ended; the render has then stopped the output.
bool RenderDueBlocks() {
    for (;;) {
        if (musicPlayer.writeIndex.load(std::memory_order_relaxed) == musicPlayer.playingBlock) {
            const std::uint32_t playing = PlayingBlock();
            if (playing == musicPlayer.playingBlock) return true;
            musicPlayer.playingBlock = playing;
            continue;
        }
        if (musicPlayer.paused.load(std::memory_order_relaxed) == 0) {
            musicPlayer.playedBlock.store(
                (musicPlayer.playedBlock.load(std::memory_order_relaxed) + 1) % RING_BLOCKS,
                std::memory_order_relaxed);
        }
        if (!RenderBlock(RingBlock(musicPlayer.writeIndex.load(std::memory_order_relaxed)))) {
            return false;
        }
        MusicOutputBlockWritten();
    }
}
}  // namespace

void StopMusicOutput() {
    if (musicPlayer.outputRunning.exchange(false, std::memory_order_acq_rel)) MusicOutputStop();
}

int PlayModule(const void* source, std::size_t second, std::uint32_t flags) {
    if (LoadSong(source, second, flags) == 0) return 0;
    // The first 16 blocks are rendered here, so the song sounds when this returns.
    for (std::uint32_t block = 0; block < RING_BLOCKS; ++block) {
        if (!RenderBlock(RingBlock(block))) {
            StopModule();
            return 0;
        }
    }
    if (!MusicOutputStart(reinterpret_cast<const std::uint8_t*>(musicPlayer.ring.data()),
                          RING_BYTES)) {
        StopModule();
        return 0;
    }
    musicPlayer.outputRunning.store(true, std::memory_order_release);
    musicPlayer.playingBlock = PlayingBlock();
    if (!StartBackgroundWork(RenderDueBlocks, POLL_INTERVAL_MS)) {
        StopModule();
        return 0;
    }
    return 1;
}

int StopModule() {
    StopBackgroundWork();
    musicPlayer.writeIndex.store(0, std::memory_order_relaxed);
    StopMusicOutput();
    ReleaseSong();
    return 0;
}

void PauseMusic() { musicPlayer.paused.store(1, std::memory_order_relaxed); }

void ResumeMusic() { musicPlayer.paused.store(0, std::memory_order_relaxed); }

void SetMusicVolume(std::uint32_t step) {
    musicPlayer.masterVolume.store(VOLUME_TABLE[std::min(step, MAX_VOLUME_STEP)],
                                   std::memory_order_relaxed);
}

void JumpToOrder(std::uint16_t order) {
    songState.pendingOrder.store(order < song.songLength ? order : 0, std::memory_order_relaxed);
    songState.pendingRow.store(0, std::memory_order_relaxed);
}

std::uint32_t GetMusicLevels() {
    const std::uint32_t block = musicPlayer.playedBlock.load(std::memory_order_relaxed);
    return musicPlayer.blockInfo[block].levels.load(std::memory_order_relaxed);
}

std::uint32_t GetMusicPosition() {
    const std::uint32_t block = musicPlayer.playedBlock.load(std::memory_order_relaxed);
    return musicPlayer.blockInfo[block].position.load(std::memory_order_relaxed);
}

std::uint32_t GetMusicTimeMs() { return musicPlayer.elapsedMs.load(std::memory_order_relaxed); }

const char* GetSongTitle() {
    if (!song.loaded || musicPlayer.songEnded.load(std::memory_order_acquire)) return "";
    return song.title;
}

void ResetMusicPlayer() {
    StopModule();
    musicPlayer.masterVolume.store(0, std::memory_order_relaxed);
    musicPlayer.paused.store(0, std::memory_order_relaxed);
    musicPlayer.stopAtEnd = false;
}
