#pragma once

#include <array>
#include <cstdint>

#include "music/xm_module.h"

// One voice of the mixer. Each channel owns two, side by side; the voice update starts a note on
// the other one of its pair while the old note still sounds, so that the old note fades out.
// All zero at load.
struct Voice {
    // The first VOICE_COPIED_FIELDS fields move with a note to the other voice of the pair.
    std::int32_t volume;         // 0..127, set by the voice update
    std::int32_t panning;        // 0..255
    std::int32_t startOffset;    // sample point where the next start of the sample begins
    std::int32_t rightTarget;    // 0..127
    std::int32_t leftTarget;     // 0..127
    std::int32_t position;       // integer part of the position, in sample points
    std::uint32_t stepFraction;  // the pitch step in 32.32: source points per output frame
    std::uint32_t stepInteger;
    std::uint32_t rampTargets;  // left target << 16 | right target the running ramp aims at
    std::int32_t rightRampStep;
    std::int32_t leftRampStep;

    Sample* sample;  // null while the voice is silent
    std::uint32_t positionFraction;
    std::int32_t currentRight;  // volume in use, in 1/128 steps (target x 128 when settled)
    std::int32_t currentLeft;
    std::uint16_t rampFramesLeft;  // 0 when no ramp runs
    std::uint8_t direction;        // VOICE_FORWARD or VOICE_BACKWARD (ping-pong)
};

constexpr int VOICE_COPIED_FIELDS = 11;
constexpr std::uint8_t VOICE_FORWARD = 0;
constexpr std::uint8_t VOICE_BACKWARD = 1;
constexpr int RAMP_FRAMES = 128;

constexpr int BLOCK_FRAMES = 1024;
