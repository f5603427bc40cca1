// Loads any bytes as a module from memory and plays what loads through the sequencer and the
// mixer: a few ticks a row, each with only a short stretch of mixing, so that one input walks
// through many rows and their effects instead of spending its time on the samples of a single
// row. One block through the whole render then covers the conversion and the block
// bookkeeping.
#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "music/block_render.h"
#include "music/mixer.h"
#include "music/player.h"
#include "music/sequencer.h"
#include "music/voice.h"

namespace {
// About twenty rows: through a short pattern, a jump or break, the song's end and restart.
constexpr int FUZZ_TICKS = 64;
// Each row's tick effects run a few times; a song may itself set a speed this low, so the
// player is in no state a real module could not bring it to.
constexpr int FUZZ_TICKS_PER_ROW = 3;
// More than one eight-frame vector step and its tail, and some of the volume ramp.
constexpr int FUZZ_FRAMES_PER_TICK = 21;
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::int16_t block[BLOCK_SAMPLES];
    if (LoadSong(data, size, MUSIC_FROM_MEMORY) != 0) {
        int firstFrame = 0;
        for (int tick = 0; tick < FUZZ_TICKS; ++tick) {
            songState.speed = std::min(songState.speed, FUZZ_TICKS_PER_ROW);
            PlayTick();
            const int frames = std::min(songState.framesLeftInTick, FUZZ_FRAMES_PER_TICK);
            if (firstFrame + frames > BLOCK_FRAMES) {
                mixAccumulator.fill(0);
                firstFrame = 0;
            }
            MixVoices(firstFrame, frames);
            firstFrame += frames;
        }
        // The render goes on from wherever the ticks left the song.
        songState.framesLeftInTick = 0;
        RenderBlock(block);
    }
    StopModule();
    return 0;
}
