#pragma once

#include <cstdint>

// Between the audio output (audio.cpp) and the SDL device that plays it (audio_device.cpp):
// the output itself needs no SDL, so programs that only render, such as xmrender, do without
// the SDL libraries.

constexpr int AUDIO_CHANNELS = 2;
constexpr int AUDIO_FRAME_BYTES = AUDIO_CHANNELS * 2;

// The mix the device pulls: `frames` interleaved stereo frames into out.
void MixAudio(std::int16_t* out, int frames);
// The open device, 0 for none.
void SetAudioDevice(std::uint32_t device);
std::uint32_t AudioDevice();
// Once the device is closed: no output, the ring let go, the position back to 0; the effects
// source stays.
void ForgetAudioOutput();
