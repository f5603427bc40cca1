// The audio output's mix: what one device buffer costs with the music ring and an effects
// source playing, against the 21.3 ms of sound a 1024-frame buffer lasts.
#include "platform/audio.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int BUFFER_FRAMES = 1024;

// Stands for a few effect voices already at the device rate.
void AddEffects(std::int32_t* accum, int frames) {
    for (int voice = 0; voice < 4; ++voice) {
        for (int i = 0; i < frames * 2; ++i) accum[i] += (i * (voice + 3)) & 0x3FFF;
    }
}

void BM_MixDeviceBuffer(benchmark::State& state) {
    std::vector<std::uint8_t> ring(65536);
    for (std::size_t i = 0; i < ring.size(); ++i) ring[i] = static_cast<std::uint8_t>(i * 7);
    OpenHeadlessAudio();
    SetEffectsSource(state.range(0) != 0 ? AddEffects : nullptr);
    MusicOutputStart(ring.data(), static_cast<std::uint32_t>(ring.size()));
    std::vector<std::int16_t> out(BUFFER_FRAMES * 2);
    for (auto _ : state) {
        PullAudio(out.data(), BUFFER_FRAMES);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * BUFFER_FRAMES);
    MusicOutputStop();
    SetEffectsSource(nullptr);
    CloseAudioOutput();
}
BENCHMARK(BM_MixDeviceBuffer)->Arg(0)->Arg(1);

}  // namespace
