#include "music/song_render.h"

#include <algorithm>
#include <array>

#include "music/block_render.h"
#include "music/sequencer.h"

namespace {

// The frame at which the next tick starts to sound, counted from the start of the render.
struct TickClock {
    std::uint64_t nextTickFrame;
    std::vector<RowMark>* rows;
};
TickClock tickClock;

void NoteTick(bool rowTick) {
    if (rowTick && tickClock.rows != nullptr) {
        tickClock.rows->push_back(
            {tickClock.nextTickFrame, songState.orderPosition, songState.row});
    }
    tickClock.nextTickFrame += static_cast<std::uint64_t>(songState.samplesPerTick);
}

}  // namespace

std::uint64_t RenderSongFrames(std::uint64_t frames, const FrameSink& sink,
                               std::vector<RowMark>* rows) {
    // A tick left over from an earlier render starts this one part-way.
    tickClock = {static_cast<std::uint64_t>(songState.framesLeftInTick), rows};
    songState.tickObserver = NoteTick;
    std::array<std::int16_t, BLOCK_SAMPLES> block{};
    std::uint64_t done = 0;
    while (done < frames) {
        if (!RenderBlock(block.data())) break;
        const int n = static_cast<int>(std::min<std::uint64_t>(BLOCK_FRAMES, frames - done));
        sink(block.data(), n);
        done += static_cast<std::uint64_t>(n);
    }
    songState.tickObserver = nullptr;
    // The last block may run past the frames asked for; so may its rows.
    if (rows != nullptr) {
        std::erase_if(*rows, [done](const RowMark& mark) { return mark.frame >= done; });
    }
    return done;
}
