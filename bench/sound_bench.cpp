// The sound effects' share of the audio thread: mixing the six effects at once into one device
// buffer, and the cost of starting an effect from a frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "app/settings.h"
#include "common/random.h"
#include "platform/audio.h"
#include "sound/sound.h"

namespace {

constexpr int DEVICE_BUFFER_FRAMES = 1024;
constexpr SoundId ALL_EFFECTS[] = {SoundId::Hover,  SoundId::Click,     SoundId::LineClear,
                                   SoundId::Rotate, SoundId::FourLines, SoundId::LevelUp};

void StartSound() {
    OpenHeadlessAudio();
    settings.soundOn = 1;
    settings.soundVolume = 20;
    InitSound();
    LoadSounds();
}

void StopSound() {
    ShutdownSound();
    CloseAudioOutput();
}

void BM_MixSixEffects(benchmark::State& state) {
    StartSound();
    std::vector<std::int16_t> out(DEVICE_BUFFER_FRAMES * 2);
    int pulled = 0;
    for (auto _ : state) {
        // Every effect restarts once the shortest has ended, so all six keep sounding.
        if (pulled % 8 == 0) {
            for (SoundId id : ALL_EFFECTS) PlayEffect(id, ProgramRandom());
        }
        PullAudio(out.data(), DEVICE_BUFFER_FRAMES);
        benchmark::DoNotOptimize(out.data());
        ++pulled;
    }
    state.SetItemsProcessed(state.iterations() * DEVICE_BUFFER_FRAMES);
    StopSound();
}
BENCHMARK(BM_MixSixEffects);

void BM_PlayEffect(benchmark::State& state) {
    StartSound();
    for (auto _ : state) PlayEffect(SoundId::Click, ProgramRandom());
    StopSound();
}
BENCHMARK(BM_PlayEffect);

}  // namespace
