#pragma once

#include <atomic>
#include <cstdint>

// One audio device, 48000 frames a second, stereo, signed 16-bit, fed by two sources that
// are mixed into it: the sound effects and the music's looping ring. Some drivers open only
// one device at a time, so both share this one. With no device the game runs silent.
constexpr int AUDIO_DEVICE_RATE = 48000;

// Opens the device (SDL). False when there is none; every other call then still works and
// nothing is heard.
bool OpenAudioOutput();
// A device-free output for tests: nothing plays by itself; PullAudio moves it.
void OpenHeadlessAudio();
void CloseAudioOutput();
bool AudioOutputOpen();

// The sound-effects source: one function that adds its playing voices, already at the
// device rate and scaled, into an interleaved stereo accumulator of `frames` frames. It runs
// on the audio thread; state it shares with the game is changed only between LockAudio and
// UnlockAudio.
using EffectsMixFn = void (*)(std::int32_t* accum, int frames);
void SetEffectsSource(EffectsMixFn fn);
void LockAudio();
void UnlockAudio();

// The music output: a ring of bytes (stereo 16-bit frames at the device rate) that the device
// plays round and round from byte 0, with its play position counted in bytes since the start.
// MusicOutputStart returns false when there is no output to play on.
bool MusicOutputStart(const std::uint8_t* ring, std::uint32_t bytes);
std::uint64_t MusicOutputPosition();
// The writer calls this after filling a block so that the reader sees the bytes (it orders
// the ring's memory between the music thread and the audio thread).
void MusicOutputBlockWritten();
// The ring's samples are shared between the music thread and the audio thread, so both sides
// touch them as relaxed atomics: if the device ever overtakes the writer it plays stale or
// mixed sound, as a sound card would, instead of racing on the memory. The browser build's C++
// library has no std::atomic_ref yet; the compiler's atomic built-ins, which std::atomic_ref is
// made of, stand in for it there.
inline void StoreRingSample(std::int16_t& slot, std::int16_t value) {
#if defined(__cpp_lib_atomic_ref)
    std::atomic_ref<std::int16_t>(slot).store(value, std::memory_order_relaxed);
#else
    __atomic_store_n(&slot, value, __ATOMIC_RELAXED);
#endif
}
inline std::int16_t LoadRingSample(const std::int16_t& slot) {
#if defined(__cpp_lib_atomic_ref)
    return std::atomic_ref<std::int16_t>(const_cast<std::int16_t&>(slot))
        .load(std::memory_order_relaxed);
#else
    return __atomic_load_n(&slot, __ATOMIC_RELAXED);
#endif
}

// Stops reading the ring; once it returns the ring is no longer touched and may be freed.
void MusicOutputStop();

// Headless: produce `frames` frames of the mixed output into `out` (interleaved stereo) exactly
// as the device would pull them, advancing the music position. Also usable with a real device
// closed, for tests.
void PullAudio(std::int16_t* out, int frames);
