// Loads any bytes as a module from memory and renders a few blocks of what loads.
#include <cstddef>
#include <cstdint>

#include "music/block_render.h"
#include "music/player.h"

namespace {
constexpr int FUZZ_BLOCKS = 6;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::int16_t block[BLOCK_SAMPLES];
    if (LoadSong(data, size, MUSIC_FROM_MEMORY) != 0) {
        for (int i = 0; i < FUZZ_BLOCKS && RenderBlock(block); ++i) {
        }
    }
    StopModule();
    return 0;
}
