#include "platform/audio.h"

#include <algorithm>
#include <atomic>
#include <mutex>

#include "platform/audio_device.h"
#include "platform/background_work.h"

namespace {

// The mix runs in slices of this many frames so that its accumulator lives on the stack.
constexpr int MIX_SLICE_FRAMES = 512;

struct AudioState {
    std::uint32_t device = 0;
    bool headless = false;
    EffectsMixFn effects = nullptr;
    const std::uint8_t* ring = nullptr;
    std::uint32_t ringBytes = 0;
};
AudioState audio;

// What the mix shares with the game and the music thread: the lock, and the counters read
// without it.
struct MixShared {
    // Held by every mix and by whoever changes what the mix reads.
    std::mutex lock;
    // Bytes of the ring played since MusicOutputStart. Stored with release after the bytes were
    // read, so a writer that loads it with acquire may overwrite what lies behind it.
    std::atomic<std::uint64_t> musicPosition{0};
    // Counts blocks the music thread has finished; loaded with acquire before the ring is read.
    std::atomic<std::uint64_t> musicBlocksWritten{0};
};
MixShared mix;

void AddMusic(std::int32_t* accum, int frames) {
    if (audio.ring == nullptr) return;
    mix.musicBlocksWritten.load(std::memory_order_acquire);
    const std::uint64_t position = mix.musicPosition.load(std::memory_order_relaxed);
    std::uint32_t offset = static_cast<std::uint32_t>(position % audio.ringBytes);
    // The ring is the music player's array of 16-bit samples, handed over as bytes.
    const auto* samples = reinterpret_cast<const std::int16_t*>(audio.ring);
    for (int i = 0; i < frames * AUDIO_CHANNELS; i += AUDIO_CHANNELS) {
        const std::uint32_t sample = offset / sizeof(std::int16_t);
        accum[i] += LoadRingSample(samples[sample]);
        accum[i + 1] += LoadRingSample(samples[sample + 1]);
        offset += AUDIO_FRAME_BYTES;
        if (offset >= audio.ringBytes) offset = 0;
    }
    mix.musicPosition.store(position + static_cast<std::uint64_t>(frames) * AUDIO_FRAME_BYTES,
                            std::memory_order_release);
}

}  // namespace

void MixAudio(std::int16_t* out, int frames) {
    // Where the music has no thread of its own, it renders ahead here, before the mix reads.
    RunDueBackgroundWork();
    std::lock_guard<std::mutex> hold(mix.lock);
    std::int32_t accum[MIX_SLICE_FRAMES * AUDIO_CHANNELS];
    while (frames > 0) {
        const int slice = std::min(frames, MIX_SLICE_FRAMES);
        const int samples = slice * AUDIO_CHANNELS;
        std::fill_n(accum, samples, 0);
        if (audio.effects != nullptr) audio.effects(accum, slice);
        AddMusic(accum, slice);
        for (int i = 0; i < samples; ++i) {
            out[i] = static_cast<std::int16_t>(std::clamp(accum[i], -32768, 32767));
        }
        out += samples;
        frames -= slice;
    }
}

void OpenHeadlessAudio() {
    if (AudioOutputOpen()) return;
    audio.headless = true;
}

void SetAudioDevice(std::uint32_t device) { audio.device = device; }
std::uint32_t AudioDevice() { return audio.device; }

void ForgetAudioOutput() {
    std::lock_guard<std::mutex> hold(mix.lock);
    const EffectsMixFn effects = audio.effects;
    audio = AudioState{};
    audio.effects = effects;
    mix.musicPosition.store(0, std::memory_order_relaxed);
}

bool AudioOutputOpen() { return audio.device != 0 || audio.headless; }

void SetEffectsSource(EffectsMixFn fn) {
    std::lock_guard<std::mutex> hold(mix.lock);
    audio.effects = fn;
}

void LockAudio() { mix.lock.lock(); }
void UnlockAudio() { mix.lock.unlock(); }

bool MusicOutputStart(const std::uint8_t* ring, std::uint32_t bytes) {
    // Whole frames only, so that a frame never straddles the end of the ring.
    bytes -= bytes % AUDIO_FRAME_BYTES;
    if (!AudioOutputOpen() || ring == nullptr || bytes == 0) return false;
    std::lock_guard<std::mutex> hold(mix.lock);
    audio.ring = ring;
    audio.ringBytes = bytes;
    mix.musicPosition.store(0, std::memory_order_release);
    return true;
}

std::uint64_t MusicOutputPosition() { return mix.musicPosition.load(std::memory_order_acquire); }

void MusicOutputBlockWritten() { mix.musicBlocksWritten.fetch_add(1, std::memory_order_release); }

void MusicOutputStop() {
    std::lock_guard<std::mutex> hold(mix.lock);
    audio.ring = nullptr;
    audio.ringBytes = 0;
}

void PullAudio(std::int16_t* out, int frames) {
    if (out == nullptr || frames <= 0) return;
    MixAudio(out, frames);
}
