#pragma once

#include <cstdint>

#include "music/sequencer.h"
#include "music/xm_module.h"

// What an effect handler works on: one channel in one tick.
struct ChannelTick {
    ChannelState& channel;
    const Cell& cell;
    const Instrument& instrument;
    Sample& sample;   // a shared empty sample when the instrument has none for the note
    bool realSample;  // false for that empty sample, which effects must not change
    Voice* pair;      // the first voice of the channel's pair
    // The period, volume and panning as they stood before the row's cell was read (note delay).
    std::int32_t rowPeriod;
    std::int32_t rowVolume;
    std::int32_t rowPanning;
};

// The effect numbers of the letters, counted on from 9.
constexpr int EFFECT_ARPEGGIO = 0;
constexpr int EFFECT_TONE_PORTAMENTO = 3;
constexpr int EFFECT_TONE_PORTAMENTO_SLIDE = 5;
constexpr int EFFECT_TREMOLO = 7;
constexpr int EFFECT_KEY_OFF = 20;    // K
constexpr int LAST_ROW_EFFECT = 33;   // X
constexpr int LAST_TICK_EFFECT = 29;  // T
constexpr int EFFECT_COUNT = 36;      // 0..9 and A..Z

// The per-row state the effects share: whether a position jump stood in an earlier channel of
// the row being read, for a pattern break later in it.
struct RowEffects {
    bool positionJumpSeen;
};
extern RowEffects rowEffects;

// The row part of the cell's effect (1..33) and of its volume column.
void RunRowEffect(ChannelTick& t);
void RunRowVolumeColumn(ChannelTick& t);
// The tick part of the cell's effect (0..29) and of its volume column.
void RunTickEffect(ChannelTick& t);
void RunTickVolumeColumn(ChannelTick& t);

// An instrument number restarts the tremolo and vibrato unless the waveform control keeps them.
void ResetWaveformPositions(ChannelState& channel);

// The vibrato and tremolo waveforms: position 0..63, waveform 0..3; values on a +-127 scale.
int Waveform(int position, int waveform);
