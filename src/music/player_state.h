#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "music/block_render.h"

constexpr int RING_BLOCKS = 16;
constexpr std::uint32_t RING_BLOCK_BYTES = BLOCK_FRAMES * 4;
constexpr std::uint32_t RING_BYTES = RING_BLOCKS * RING_BLOCK_BYTES;
constexpr std::uint32_t UNITY_VOLUME = 32768;

// The looping output buffer the device plays round and round: 16 blocks of 1024 stereo frames.
using OutputRing = std::array<std::int16_t, RING_BLOCKS * BLOCK_SAMPLES>;

// Levels (left << 16 | right mean magnitude) and position (order << 16 | row) of a block.
struct BlockInfo {
    std::atomic<std::uint32_t> levels;
    std::atomic<std::uint32_t> position;
};

// The player's program-wide state. The game's thread writes paused and masterVolume; the
// music's background work (a thread of its own on the desktop) writes the counters and the
// block info; the song itself is built before the work starts and freed after it has stopped.
struct MusicPlayer {
    // Set by whichever thread starts the output; the one that clears it stops the output.
    std::atomic<bool> outputRunning{false};
    // A MUSIC_NO_LOOP song stopped itself; its memory goes at the next PlayModule or StopModule.
    std::atomic<bool> songEnded{false};
    std::atomic<std::uint32_t> masterVolume{0};  // 0: never set
    std::atomic<std::uint8_t> paused{0};
    bool stopAtEnd = false;
    std::atomic<std::uint32_t> writeIndex{0};  // the next block of the ring to render
    std::uint32_t playingBlock = 0;  // where the work last saw the device play; its own
    std::atomic<std::uint32_t> playedBlock{0};
    std::atomic<std::uint32_t> elapsedMs{0};
    BlockInfo blockInfo[RING_BLOCKS] = {};
    alignas(64) OutputRing ring{};
};

extern MusicPlayer musicPlayer;

// Stops the device's reading of the ring when it runs (from either thread: the one that
// clears outputRunning stops it).
void StopMusicOutput();
// Zeroes the counters and block info of a song that is gone.
void ClearPlayCounters();
// Frees the song and its memory and clears the counters; the music thread must not run.
void ReleaseSong();
