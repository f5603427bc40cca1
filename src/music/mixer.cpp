#include <algorithm>
#include <cstring>

#include "music/voice.h"

MixAccumulator mixAccumulator;

namespace {
constexpr int FRACTION_BITS = 32;
constexpr std::int64_t ONE = std::int64_t{1} << FRACTION_BITS;
// The step of about 40 Hz that stands in for a step too small to divide by.
constexpr std::uint32_t MIN_STEP_FRACTION = 0x369D00;
constexpr std::uint64_t MAX_SEGMENT_FRAMES = 0xFFFFFFFF;

std::int64_t FixedPosition(const Voice& voice) {
    return (std::int64_t{voice.position} << FRACTION_BITS) + voice.positionFraction;
}

void StoreFixedPosition(Voice& voice, std::int64_t position) {
    voice.position = static_cast<std::int32_t>(position >> FRACTION_BITS);
    voice.positionFraction = static_cast<std::uint32_t>(position);
}

void StopVoice(Voice& voice) {
    voice.sample = nullptr;
    voice.position = 0;
    voice.positionFraction = 0;
}

void StartRampIfTargetsMoved(Voice& voice) {
    const std::uint32_t targets = static_cast<std::uint32_t>(voice.leftTarget) << 16 |
                                  (static_cast<std::uint32_t>(voice.rightTarget) & 0xFFFF);
    if (voice.rampFramesLeft != 0 && targets == voice.rampTargets) return;
    voice.rampTargets = targets;
    voice.rightRampStep = (voice.rightTarget * 128 - voice.currentRight) >> 7;
    voice.leftRampStep = (voice.leftTarget * 128 - voice.currentLeft) >> 7;
    voice.rampFramesLeft = (voice.rightRampStep != 0 || voice.leftRampStep != 0) ? RAMP_FRAMES : 0;
}

void AddWrapping(std::int32_t& sum, std::int32_t value) {
    sum = static_cast<std::int32_t>(static_cast<std::uint32_t>(sum) +
                                    static_cast<std::uint32_t>(value));
}

// One side's share of an interpolated value at a volume in 1/128 steps.
std::int32_t Scale(std::int32_t value, std::int32_t volume) {
    const std::int64_t x = std::int64_t{value} * volume;
    const std::uint32_t a = static_cast<std::uint32_t>(x >> 6) + (x < 0 ? 1u : 0u);
    return static_cast<std::int32_t>(a) >> 1;
}

void MixFrames(Voice& voice, std::int32_t* out, std::int64_t frames, std::int64_t step) {
    const std::int16_t* data = voice.sample->data;
    std::int64_t position = FixedPosition(voice);
    std::int32_t left = voice.currentLeft;
    std::int32_t right = voice.currentRight;
    // A voice at exactly zero on both sides adds nothing: only its position moves on.
    if ((left | right | voice.leftRampStep | voice.rightRampStep) == 0) {
        StoreFixedPosition(voice, position + step * frames);
        return;
    }
    for (std::int64_t i = 0; i < frames; ++i) {
        const std::int64_t index = position >> FRACTION_BITS;
        const std::uint32_t fraction = static_cast<std::uint32_t>(position);
        const std::int32_t s0 = data[index];
        const std::int32_t s1 = data[index + 1];
        const std::int32_t s =
            s0 * 64 + static_cast<std::int32_t>((std::int64_t{s1 - s0} * (fraction >> 1)) >> 25);
        AddWrapping(out[2 * i], Scale(s, left));
        AddWrapping(out[2 * i + 1], Scale(s, right));
        left += voice.leftRampStep;
        right += voice.rightRampStep;
        position += step;
    }
    voice.currentLeft = left;
    voice.currentRight = right;
    StoreFixedPosition(voice, position);
}

// The most frames that keep every interpolation read within the sample's values and guards,
// whatever the step and the rounding of the frame count.
std::int64_t SafeFrames(const Voice& voice, std::int64_t position, std::int64_t step) {
    const std::int64_t lastIndex = std::int64_t{voice.sample->length} + 1;
    if (voice.direction == VOICE_BACKWARD) return position / step + 1;
    return ((lastIndex << FRACTION_BITS) + ONE - 1 - position) / step + 1;
}

// Loop handling once the voice has reached the boundary it was heading for.
void CrossBoundary(Voice& voice) {
    const Sample& sample = *voice.sample;
    const std::int64_t loopStart = sample.loopStart;
    const std::int64_t loopEnd = loopStart + sample.loopLength;
    if (sample.loopType == LOOP_FORWARD) {
        if (voice.position >= loopEnd) {
            voice.position = static_cast<std::int32_t>(loopStart + (voice.position - loopEnd) %
                                                                       sample.loopLength);
        } else {
            // The frame count is rounded, so the position may stop a hair short of the end.
            StoreFixedPosition(voice, loopStart << FRACTION_BITS);
        }
        return;
    }
    if (sample.loopType != LOOP_PINGPONG) {
        StopVoice(voice);
        return;
    }
    const std::int64_t low = loopStart << FRACTION_BITS;
    const std::int64_t high = loopEnd << FRACTION_BITS;
    std::int64_t position = FixedPosition(voice);
    if (voice.direction == VOICE_FORWARD) {
        position = 2 * high - position;
        voice.direction = VOICE_BACKWARD;
        if (position < low) {
            position = 2 * low - position;
            voice.direction = VOICE_FORWARD;
        }
    } else {
        position = 2 * low - position;
        voice.direction = VOICE_FORWARD;
        if (position > high) {
            position = 2 * high - position;
            voice.direction = VOICE_BACKWARD;
        }
    }
    StoreFixedPosition(voice, std::clamp(position, low, high));
}
}  // namespace

void CopyVoiceNote(const Voice& from, Voice& to) {
    to.volume = from.volume;
    to.panning = from.panning;
    to.startOffset = from.startOffset;
    to.rightTarget = from.rightTarget;
    to.leftTarget = from.leftTarget;
    to.position = from.position;
    to.stepFraction = from.stepFraction;
    to.stepInteger = from.stepInteger;
    to.rampTargets = from.rampTargets;
    to.rightRampStep = from.rightRampStep;
    to.leftRampStep = from.leftRampStep;
}

void MixVoice(Voice& voice, std::int32_t* accumulator, int firstFrame, int frameCount) {
    std::int64_t n = frameCount;
    std::int32_t* out = accumulator + 2 * firstFrame;
    int idlePasses = 0;
    while (n > 0 && voice.sample != nullptr) {
        const Sample& sample = *voice.sample;
        const std::int64_t loopStart = sample.loopStart;
        const std::int64_t loopEnd = loopStart + sample.loopLength;
        const std::int64_t position = FixedPosition(voice);
        if (position < 0 || voice.position > static_cast<std::int64_t>(sample.length) + 1) {
            StopVoice(voice);
            return;
        }
        std::int64_t distance;
        if (voice.direction == VOICE_FORWARD) {
            const std::int64_t boundary =
                voice.position >= loopEnd ? std::int64_t{sample.length} : loopEnd;
            distance = ((boundary - voice.position) << FRACTION_BITS) - voice.positionFraction;
        } else {
            distance = position - (loopStart << FRACTION_BITS);
        }
        if (distance < 0) return;

        if (static_cast<std::uint32_t>(
                ((std::uint64_t{voice.stepInteger} << 32 | voice.stepFraction) >> 5)) == 0) {
            voice.stepFraction = MIN_STEP_FRACTION;
        }
        const std::uint64_t step = std::uint64_t{voice.stepInteger} << 32 | voice.stepFraction;
        const std::uint32_t divisor = static_cast<std::uint32_t>(step >> 5);
        const std::uint64_t dividend = static_cast<std::uint64_t>(distance) >> 5;
        std::uint64_t f = dividend / divisor + (dividend % divisor != 0 ? 1 : 0);
        f = std::min(f, MAX_SEGMENT_FRAMES);

        bool boundaryReached = true;
        if (f != 0) {
            const std::int64_t signedStep = static_cast<std::int64_t>(step);
            const std::int64_t frames = std::min<std::int64_t>(
                static_cast<std::int64_t>(f), SafeFrames(voice, position, signedStep));
            std::int64_t m = std::min(frames, n);
            const bool beyondCall = frames > n;
            StartRampIfTargetsMoved(voice);
            const bool rampRunning = voice.rampFramesLeft != 0;
            bool cutByRamp = false;
            if (rampRunning && voice.rampFramesLeft < m) {
                m = voice.rampFramesLeft;
                cutByRamp = true;
            }
            MixFrames(voice, out, m, voice.direction == VOICE_BACKWARD ? -signedStep : signedStep);
            out += 2 * m;
            n -= m;
            if (rampRunning) {
                voice.rampFramesLeft = static_cast<std::uint16_t>(voice.rampFramesLeft - m);
                if (voice.rampFramesLeft == 0) {
                    voice.rightRampStep = 0;
                    voice.leftRampStep = 0;
                }
            }
            if (cutByRamp) continue;
            if (beyondCall) return;
            boundaryReached = true;
            idlePasses = 0;
        } else if (++idlePasses > 2) {
            return;  // no frame can be made here; stay put rather than spin
        }
        if (boundaryReached) CrossBoundary(voice);
    }
}

void MixVoices(int firstFrame, int frameCount) {
    for (int v = 0; v < 2 * song.numChannels; ++v) {
        MixVoice(song.voices[v], mixAccumulator.data(), firstFrame, frameCount);
    }
}
