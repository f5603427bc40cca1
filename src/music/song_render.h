#pragma once

#include <cstdint>
#include <functional>
#include <vector>

// Renders the song that LoadSong loaded, block by block through the player's own block render,
// for tools and tests that want the output without a device or a thread.

// Where a row tick happened: the first output frame rendered after it, and the row it read.
struct RowMark {
    std::uint64_t frame;
    std::int32_t order;
    std::int32_t row;
};

// Receives interleaved stereo 16-bit frames as they are rendered.
using FrameSink = std::function<void(const std::int16_t* samples, int frames)>;

// Renders up to `frames` frames into sink, noting every row tick in rows when it is given.
// Stops early when a song that does not loop ends. Returns the frames rendered.
std::uint64_t RenderSongFrames(std::uint64_t frames, const FrameSink& sink,
                               std::vector<RowMark>* rows);
