#include "platform/audio.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

constexpr int AUDIO_CHANNELS = 2;
constexpr int BYTES_PER_FRAME = AUDIO_CHANNELS * 2;
// The device's own buffer: about 21 ms, short enough that effects start on the frame.
constexpr Uint16 DEVICE_BUFFER_FRAMES = 1024;
// The mix runs in slices of this many frames so that its accumulator lives on the stack.
constexpr int MIX_SLICE_FRAMES = 512;

struct AudioState {
    SDL_AudioDeviceID device = 0;
    bool headless = false;
    EffectsMixFn effects = nullptr;
    const std::uint8_t* ring = nullptr;
    std::uint32_t ringBytes = 0;
};
AudioState audio;

// Held by every mix and by whoever changes what the mix reads.
std::mutex mixLock;
// Bytes of the ring played since MusicOutputStart. Stored with release after the bytes were
// read, so a writer that loads it with acquire may overwrite what lies behind it.
std::atomic<std::uint64_t> musicPosition{0};
// Counts blocks the music thread has finished; loaded with acquire before the ring is read.
std::atomic<std::uint64_t> musicBlocksWritten{0};

void AddMusic(std::int32_t* accum, int frames) {
    if (audio.ring == nullptr) return;
    musicBlocksWritten.load(std::memory_order_acquire);
    const std::uint64_t position = musicPosition.load(std::memory_order_relaxed);
    std::uint32_t offset = static_cast<std::uint32_t>(position % audio.ringBytes);
    // The ring is the music player's array of 16-bit samples, handed over as bytes.
    const auto* samples = reinterpret_cast<const std::int16_t*>(audio.ring);
    for (int i = 0; i < frames * AUDIO_CHANNELS; i += AUDIO_CHANNELS) {
        const std::uint32_t sample = offset / sizeof(std::int16_t);
        accum[i] += LoadRingSample(samples[sample]);
        accum[i + 1] += LoadRingSample(samples[sample + 1]);
        offset += BYTES_PER_FRAME;
        if (offset >= audio.ringBytes) offset = 0;
    }
    musicPosition.store(position + static_cast<std::uint64_t>(frames) * BYTES_PER_FRAME,
                        std::memory_order_release);
}

void Mix(std::int16_t* out, int frames) {
    std::lock_guard<std::mutex> hold(mixLock);
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

void DeviceCallback(void*, Uint8* stream, int len) {
    Mix(reinterpret_cast<std::int16_t*>(stream), len / BYTES_PER_FRAME);
}

// While the audio drivers look for a device, what their libraries print goes nowhere: ALSA
// alone fills several lines of the terminal when there is no sound card. The player gets one
// line from the game instead.
class DriverOutputHidden {
public:
    DriverOutputHidden() {
        std::fflush(stderr);
        const int nowhere = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (nowhere < 0) return;
        saved_ = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
        if (saved_ >= 0) dup2(nowhere, STDERR_FILENO);
        close(nowhere);
    }
    ~DriverOutputHidden() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
    }
    DriverOutputHidden(const DriverOutputHidden&) = delete;
    DriverOutputHidden& operator=(const DriverOutputHidden&) = delete;

private:
    int saved_ = -1;
};

SDL_AudioDeviceID OpenDevice() {
    const DriverOutputHidden quiet;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    SDL_AudioSpec wanted{};
    wanted.freq = AUDIO_DEVICE_RATE;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = AUDIO_CHANNELS;
    wanted.samples = DEVICE_BUFFER_FRAMES;
    wanted.callback = DeviceCallback;
    // No allowed changes: SDL converts when the hardware wants another format.
    SDL_AudioSpec obtained{};
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
}

}  // namespace

bool OpenAudioOutput() {
    if (AudioOutputOpen()) return true;
    const SDL_AudioDeviceID device = OpenDevice();
    if (device == 0) {
        std::fprintf(stderr, "plemby: no sound device (%s); the game runs silent\n",
                     SDL_GetError());
        if (SDL_WasInit(SDL_INIT_AUDIO) != 0) SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    audio.device = device;
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void OpenHeadlessAudio() {
    if (AudioOutputOpen()) return;
    audio.headless = true;
}

void CloseAudioOutput() {
    if (audio.device != 0) {
        // Waits for a running callback, so nothing reads the ring afterwards.
        SDL_CloseAudioDevice(audio.device);
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    std::lock_guard<std::mutex> hold(mixLock);
    const EffectsMixFn effects = audio.effects;
    audio = AudioState{};
    audio.effects = effects;
    musicPosition.store(0, std::memory_order_relaxed);
}

bool AudioOutputOpen() { return audio.device != 0 || audio.headless; }

void SetEffectsSource(EffectsMixFn fn) {
    std::lock_guard<std::mutex> hold(mixLock);
    audio.effects = fn;
}

void LockAudio() { mixLock.lock(); }
void UnlockAudio() { mixLock.unlock(); }

bool MusicOutputStart(const std::uint8_t* ring, std::uint32_t bytes) {
    // Whole frames only, so that a frame never straddles the end of the ring.
    bytes -= bytes % BYTES_PER_FRAME;
    if (!AudioOutputOpen() || ring == nullptr || bytes == 0) return false;
    std::lock_guard<std::mutex> hold(mixLock);
    audio.ring = ring;
    audio.ringBytes = bytes;
    musicPosition.store(0, std::memory_order_release);
    return true;
}

std::uint64_t MusicOutputPosition() { return musicPosition.load(std::memory_order_acquire); }

void MusicOutputBlockWritten() { musicBlocksWritten.fetch_add(1, std::memory_order_release); }

void MusicOutputStop() {
    std::lock_guard<std::mutex> hold(mixLock);
    audio.ring = nullptr;
    audio.ringBytes = 0;
}

void PullAudio(std::int16_t* out, int frames) {
    if (out == nullptr || frames <= 0) return;
    Mix(out, frames);
}
