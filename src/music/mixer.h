#pragma once

#include <array>
#include <cstdint>

#include "music/voice.h"

// The mixer: resamples each voice's sample at its pitch, with its volume ramps, into the sums
// of one output block.

// Copies the fields that travel with a note (volume through the ramp steps) from one voice to
// another.
void CopyVoiceNote(const Voice& from, Voice& to);

// Interleaved stereo sums of one output block, left first. The sums are 32-bit and wrap.
using MixAccumulator = std::array<std::int32_t, 2 * BLOCK_FRAMES>;
extern MixAccumulator mixAccumulator;

// Adds frameCount frames of one voice into an interleaved stereo accumulator from frame
// firstFrame on, advancing the voice.
void MixVoice(Voice& voice, std::int32_t* accumulator, int firstFrame, int frameCount);

// Adds frameCount frames of every voice of the song into mixAccumulator from firstFrame on.
void MixVoices(int firstFrame, int frameCount);
