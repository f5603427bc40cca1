#include "music/voice_update.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "music/mixer.h"
#include "music/pitch.h"

namespace {

// Q[i] = round(64 x sin(i x pi / 128)): a quarter of the auto-vibrato's sine.
constexpr std::int8_t AUTO_VIBRATO_SINE[65] = {
    0,  2,  3,  5,  6,  8,  9,  11, 12, 14, 16, 17, 19, 20, 22, 23, 24, 26, 27, 29, 30, 32,
    33, 34, 36, 37, 38, 39, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56,
    56, 57, 58, 59, 59, 60, 60, 61, 61, 62, 62, 62, 63, 63, 63, 64, 64, 64, 64, 64, 64};

constexpr int AUTO_VIBRATO_STEPS = 256;
constexpr std::int64_t MAX_TREMOLO_VOLUME = 255LL * 64 * 64;
constexpr int VOLUME_PRODUCT_SHIFT = 35;
constexpr std::int32_t FULL_PANNING = 255;
constexpr std::int32_t MIDDLE_PANNING = 128;
// Beyond this a factor already drives the volume product to one of its limits.
constexpr std::int64_t FACTOR_LIMIT = 1 << 20;

int AutoVibratoValue(int waveform, int p) {
    switch (waveform) {
        case 0: {
            const int i = p % 128;
            const int value = i <= 64 ? AUTO_VIBRATO_SINE[i] : AUTO_VIBRATO_SINE[128 - i];
            return p >= 128 ? -value : value;
        }
        case 1:
            return p < 128 ? 64 : -64;
        case 2:
            return (128 - ((p + 128) & 255)) >> 1;
        default:
            return (128 - ((128 - p) & 255)) >> 1;
    }
}

void StartSample(ChannelState& channel, Voice* pair, Sample* sample) {
    Voice* voice = channel.voice;
    if (voice->sample != nullptr) {
        // The old note keeps playing on its voice and fades out through the mixer's ramp.
        Voice* other = voice == pair ? pair + 1 : pair;
        CopyVoiceNote(*voice, *other);
        voice->volume = 0;
        voice->rightTarget = 0;
        voice->leftTarget = 0;
        channel.voice = other;
        voice = other;
    }
    voice->sample = sample;
    voice->positionFraction = 0;
    voice->currentRight = 0;
    voice->currentLeft = 0;
    voice->rampFramesLeft = 0;
    voice->direction = VOICE_FORWARD;
    voice->position = voice->startOffset;
    voice->startOffset = 0;
}

void SetTargets(Voice& voice) {
    voice.rightTarget = voice.volume * voice.panning / FULL_PANNING;
    voice.leftTarget = voice.volume * (FULL_PANNING - voice.panning) / FULL_PANNING;
}

void UpdateVolume(const ChannelState& channel, Voice& voice) {
    const std::int64_t volume =
        std::clamp<std::int64_t>(static_cast<std::int64_t>(channel.volume) + channel.tremoloOffset,
                                 -FACTOR_LIMIT, FACTOR_LIMIT);
    const std::int64_t global =
        std::clamp<std::int64_t>(songState.globalVolume, -FACTOR_LIMIT, FACTOR_LIMIT);
    const std::int64_t t = std::clamp<std::int64_t>(volume * 255 * global, 0, MAX_TREMOLO_VOLUME);
    voice.volume = static_cast<std::int32_t>(
        (t * channel.volumeEnvelope.value * channel.fadeoutVolume) >> VOLUME_PRODUCT_SHIFT);
    SetTargets(voice);
}

void UpdatePanning(const ChannelState& channel, Voice& voice) {
    const std::int64_t panning = channel.panning;
    const std::int64_t room = (MIDDLE_PANNING - std::llabs(panning - MIDDLE_PANNING)) >> 5;
    const std::int64_t q = std::max<std::int64_t>(
        panning + (channel.panningEnvelope.value - MIDDLE_ENVELOPE_PANNING) * room, 0);
    if (q >= FULL_PANNING) {
        voice.panning = FULL_PANNING;
        voice.rightTarget = voice.volume;
        voice.leftTarget = 0;
        return;
    }
    voice.panning = static_cast<std::int32_t>(q);
    SetTargets(voice);
}

void UpdatePitch(const ChannelState& channel, Voice& voice) {
    const bool linear = (song.flags & SONG_LINEAR_FREQUENCIES) != 0;
    const PitchStep step =
        FrequencyStep(PeriodFrequency(channel.period, channel.pitchOffset, linear));
    voice.stepInteger = step.integer;
    voice.stepFraction = step.fraction;
}

}  // namespace

void ApplyAutoVibrato(ChannelState& channel, const Instrument& instrument) {
    const int p = channel.autoVibratoPosition & (AUTO_VIBRATO_STEPS - 1);
    std::int64_t a = static_cast<std::int64_t>(AutoVibratoValue(instrument.vibratoWaveform, p)) *
                     instrument.vibratoDepth;
    const std::int32_t sweep = instrument.vibratoSweep;
    if (sweep != 0) a = a * channel.autoVibratoSweep / sweep;
    channel.pitchOffset += static_cast<std::int32_t>(a >> 6);
    channel.autoVibratoSweep = std::min(channel.autoVibratoSweep + 1, sweep);
    channel.autoVibratoPosition = (p + instrument.vibratoRate) & (AUTO_VIBRATO_STEPS - 1);
    channel.flags |= CHANNEL_PITCH;
}

void UpdateVoice(ChannelState& channel, Voice* pair, Sample* sample, const Instrument& instrument) {
    ApplyAutoVibrato(channel, instrument);
    if (channel.flags & CHANNEL_START_SAMPLE) StartSample(channel, pair, sample);
    Voice& voice = *channel.voice;
    if (channel.flags & CHANNEL_VOLUME) UpdateVolume(channel, voice);
    if (channel.flags & CHANNEL_PANNING) UpdatePanning(channel, voice);
    if (channel.flags & CHANNEL_PITCH) UpdatePitch(channel, voice);
}
