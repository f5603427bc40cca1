#pragma once

#include <cstddef>
#include <cstdint>

#include "music/voice.h"

// The song's block render without an output device or a thread, for tools and tests. The
// player itself uses the same calls.

constexpr int OUTPUT_RATE = 48000;
constexpr int BLOCK_SAMPLES = 2 * BLOCK_FRAMES;

// Stops any song, then loads a module from the same sources and flags as PlayModule, ready to
// render from order position 0, row 0. Nonzero on success.
int LoadSong(const void* source, std::size_t second, std::uint32_t flags);

// Renders the next block of the loaded song (silence while paused) as 1024 interleaved stereo
// frames. Returns false, without finishing the block, when a MUSIC_NO_LOOP song has just
// ended or no song is loaded.
bool RenderBlock(std::int16_t* out);

// The conversion of one block of mix sums into 16-bit samples at the master volume; adds each
// side's output magnitudes to levelSums[0] (left) and levelSums[1] (right).
void ConvertBlock(const std::int32_t* sums, std::int16_t* out, std::uint32_t masterVolume,
                  std::uint32_t levelSums[2]);
