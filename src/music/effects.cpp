#include "music/effects.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "music/envelope.h"
#include "music/pitch.h"

RowEffects rowEffects;

namespace {

using Handler = void (*)(ChannelTick&);

// S[i] = round(127 x sin(i x pi / 32)): the first half of the vibrato and tremolo sine.
constexpr std::int8_t HALF_SINE[32] = {0,   12,  25,  37,  49,  60,  71,  81,  90,  98,  106,
                                       112, 117, 122, 125, 126, 127, 126, 125, 122, 117, 112,
                                       106, 98,  90,  81,  71,  60,  49,  37,  25,  12};
constexpr int WAVEFORM_STEPS = 64;
constexpr int PORTAMENTO_UNIT = 4;  // period units per step of a portamento parameter
constexpr int MAX_PANNING = 255;
constexpr int SEMITONES_PER_ARPEGGIO_STEP = 3;
constexpr int VOLUME_COLUMN_PANNING_UNIT = 16;
constexpr int VOLUME_COLUMN_PORTAMENTO_UNIT = 16;

// Slides and retriggers leave values unclamped; keep them within 32 bits however long they run.
std::int32_t Saturate(std::int64_t v) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}
void Add(std::int32_t& value, std::int64_t delta) { value = Saturate(value + delta); }

int High(const ChannelTick& t) { return t.cell.parameter >> 4; }
int Low(const ChannelTick& t) { return t.cell.parameter & 0x0F; }

bool Linear() { return (song.flags & SONG_LINEAR_FREQUENCIES) != 0; }

void StorePending(std::atomic<std::int32_t>& pending, std::int32_t value) {
    pending.store(value, std::memory_order_relaxed);
}
std::int32_t NextOrderOrStart() {
    return songState.orderPosition + 1 < song.songLength ? songState.orderPosition + 1 : 0;
}

void Vibrato(ChannelTick& t) {
    ChannelState& c = t.channel;
    const int value =
        (Waveform(c.vibratoPosition, c.waveformControl & 3) * c.vibratoDepth >> 5) >> 1;
    c.pitchOffset = value;
    c.vibratoPosition = (c.vibratoPosition + c.vibratoSpeed) % WAVEFORM_STEPS;
    c.flags |= CHANNEL_PITCH;
}

void Tremolo(ChannelTick& t) {
    ChannelState& c = t.channel;
    c.tremoloOffset =
        Waveform(c.tremoloPosition, (c.waveformControl >> 4) & 3) * c.tremoloDepth >> 5;
    c.tremoloPosition = (c.tremoloPosition + c.tremoloSpeed) % WAVEFORM_STEPS;
    c.flags |= CHANNEL_VOLUME;
}

void TonePortamentoStep(ChannelTick& t) {
    ChannelState& c = t.channel;
    const std::int64_t step = PORTAMENTO_UNIT * c.portamentoSpeed;
    if (c.period < c.portamentoTarget) {
        c.period = Saturate(std::min<std::int64_t>(c.period + step, c.portamentoTarget));
    } else if (c.period > c.portamentoTarget) {
        c.period = Saturate(std::max<std::int64_t>(c.period - step, c.portamentoTarget));
    }
    c.flags |= CHANNEL_PITCH;
}

// Effects 3 and 5 and the volume column's portamento slide to the last note instead of
// starting it.
void AimPortamento(ChannelTick& t, std::uint8_t dropFlags) {
    t.channel.portamentoTarget = t.channel.notePeriod;
    t.channel.flags &= static_cast<std::uint8_t>(~dropFlags);
}

void VolumeSlide(ChannelTick& t) {
    ChannelState& c = t.channel;
    const int x = c.volumeSlideMemory >> 4;
    const int y = c.volumeSlideMemory & 0x0F;
    Add(c.volume, x != 0 ? x : -y);
    c.flags |= CHANNEL_VOLUME;
}

void TremorStep(ChannelTick& t) {
    ChannelState& c = t.channel;
    c.flags |= CHANNEL_VOLUME;
    if (c.tremorCounter > c.tremorOn)
        c.tremoloOffset = Saturate(-static_cast<std::int64_t>(c.volume));
    c.tremorCounter = c.tremorCounter > c.tremorOn + c.tremorOff ? 0 : c.tremorCounter + 1;
}

std::int64_t RetriggerVolume(int change, std::int64_t v) {
    switch (change) {
        case 0x1:
            return v - 1;
        case 0x2:
            return v - 2;
        case 0x3:
            return v - 4;
        case 0x4:
            return v - 8;
        case 0x5:
            return v - 16;
        case 0x6:
            return v * 2 / 3;
        case 0x7:
            return v >> 1;
        case 0x9:
            return v + 1;
        case 0xA:
            return v + 2;
        case 0xB:
            return v + 4;
        case 0xC:
            return v + 8;
        case 0xD:
            return v + 16;
        case 0xE:
            return (v * 3) >> 1;
        case 0xF:
            return v * 2;
        default:
            return v;
    }
}

void StorePortamento(ChannelTick& t) {
    if (t.cell.parameter != 0) t.channel.portamentoMemory = t.cell.parameter;
}

void ToneRow(ChannelTick& t) {
    if (t.cell.parameter != 0) t.channel.portamentoSpeed = t.cell.parameter;
    AimPortamento(t, CHANNEL_PITCH | CHANNEL_START_SAMPLE);
}

void VibratoRow(ChannelTick& t) {
    if (High(t) != 0) t.channel.vibratoSpeed = static_cast<std::uint8_t>(High(t));
    if (Low(t) != 0) t.channel.vibratoDepth = static_cast<std::uint8_t>(Low(t));
    Vibrato(t);
}

void StoreVolumeSlide(ChannelTick& t) {
    if (t.cell.parameter != 0) t.channel.volumeSlideMemory = t.cell.parameter;
}

void ToneSlideRow(ChannelTick& t) {
    StoreVolumeSlide(t);
    AimPortamento(t, CHANNEL_PITCH | CHANNEL_START_SAMPLE);
}

void VibratoSlideRow(ChannelTick& t) {
    StoreVolumeSlide(t);
    Vibrato(t);
}

void TremoloRow(ChannelTick& t) {
    if (High(t) != 0) t.channel.tremoloSpeed = static_cast<std::uint8_t>(High(t));
    if (Low(t) != 0) t.channel.tremoloDepth = static_cast<std::uint8_t>(Low(t));
}

void SetPanning(ChannelTick& t) {
    t.channel.panning = t.cell.parameter;
    t.channel.flags |= CHANNEL_PANNING;
}

void SampleOffset(ChannelTick& t) {
    ChannelState& c = t.channel;
    if (t.cell.parameter != 0) c.offsetMemory = t.cell.parameter * 256;
    const std::uint64_t end = static_cast<std::uint64_t>(t.sample.loopStart) + t.sample.loopLength;
    if (static_cast<std::uint64_t>(c.offsetMemory) < end) {
        c.voice->startOffset = c.offsetMemory;
    } else {
        c.flags &= static_cast<std::uint8_t>(~CHANNEL_START_SAMPLE);
        c.voice->position = 0;
    }
}

void PositionJump(ChannelTick& t) {
    StorePending(songState.pendingOrder,
                 t.cell.parameter >= song.songLength ? 0 : t.cell.parameter);
    StorePending(songState.pendingRow, 0);
    rowEffects.positionJumpSeen = true;
}

void SetVolume(ChannelTick& t) { t.channel.volume = t.cell.parameter; }

void PatternBreak(ChannelTick& t) {
    StorePending(songState.pendingRow, 10 * High(t) + Low(t));
    if (!rowEffects.positionJumpSeen) StorePending(songState.pendingOrder, NextOrderOrStart());
}

void SpeedOrTempo(ChannelTick& t) {
    if (t.cell.parameter < 32) {
        songState.speed = t.cell.parameter;
    } else {
        SetTempo(t.cell.parameter);
    }
}

void SetGlobalVolume(ChannelTick& t) { songState.globalVolume = t.cell.parameter; }

void StoreGlobalVolumeSlide(ChannelTick& t) {
    if (t.cell.parameter != 0) songState.globalVolumeSlideMemory = t.cell.parameter;
}

void EnvelopePosition(ChannelTick& t) {
    SetVolumeEnvelopePosition(t.channel, t.instrument, t.cell.parameter);
}

void PanningSlideRow(ChannelTick& t) {
    if (t.cell.parameter != 0) t.channel.panningSlideMemory = t.cell.parameter;
    t.channel.flags |= CHANNEL_PANNING;
}

void RetriggerRow(ChannelTick& t) {
    if (t.cell.parameter == 0) return;
    t.channel.retriggerVolumeChange = static_cast<std::uint8_t>(High(t));
    t.channel.retriggerInterval = static_cast<std::uint8_t>(Low(t));
}

void TremorRow(ChannelTick& t) {
    if (t.cell.parameter != 0) {
        t.channel.tremorOn = static_cast<std::uint8_t>(High(t));
        t.channel.tremorOff = static_cast<std::uint8_t>(Low(t));
    }
    TremorStep(t);
}

void ExtraFinePortamento(ChannelTick& t) {
    ChannelState& c = t.channel;
    const auto y = static_cast<std::uint8_t>(Low(t));
    if (High(t) == 1) {
        if (y != 0) c.extraFineUpMemory = y;
        Add(c.period, -c.extraFineUpMemory);
    } else if (High(t) == 2) {
        if (y != 0) c.extraFineDownMemory = y;
        Add(c.period, c.extraFineDownMemory);
    }
}

void FinePortamentoUp(ChannelTick& t) {
    if (Low(t) != 0) t.channel.finePortamentoUpMemory = static_cast<std::uint8_t>(Low(t));
    Add(t.channel.period, -PORTAMENTO_UNIT * t.channel.finePortamentoUpMemory);
}

void FinePortamentoDown(ChannelTick& t) {
    if (Low(t) != 0) t.channel.finePortamentoDownMemory = static_cast<std::uint8_t>(Low(t));
    Add(t.channel.period, PORTAMENTO_UNIT * t.channel.finePortamentoDownMemory);
}

void VibratoWaveform(ChannelTick& t) {
    t.channel.waveformControl =
        static_cast<std::uint8_t>((t.channel.waveformControl & 0xF0) | Low(t));
}

void SetFinetune(ChannelTick& t) {
    if (t.realSample) t.sample.finetune = static_cast<std::int8_t>(Low(t));
}

void PatternLoop(ChannelTick& t) {
    ChannelState& c = t.channel;
    const int y = Low(t);
    if (y == 0) {
        c.patternLoopRow = songState.row;
    } else if (c.patternLoopCounter == 0) {
        c.patternLoopCounter = static_cast<std::uint8_t>(y);
        StorePending(songState.pendingRow, c.patternLoopRow);
    } else if (--c.patternLoopCounter != 0) {
        StorePending(songState.pendingRow, c.patternLoopRow);
    }
}

void TremoloWaveform(ChannelTick& t) {
    t.channel.waveformControl =
        static_cast<std::uint8_t>((t.channel.waveformControl & 0x0F) | (Low(t) << 4));
}

void FineSetPanning(ChannelTick& t) {
    t.channel.panning = VOLUME_COLUMN_PANNING_UNIT * Low(t);
    t.channel.flags |= CHANNEL_PANNING;
}

void FineVolumeUp(ChannelTick& t) {
    if (Low(t) != 0) t.channel.fineVolumeSlideMemory = static_cast<std::int8_t>(-Low(t));
    Add(t.channel.volume, -t.channel.fineVolumeSlideMemory);
}

void FineVolumeDown(ChannelTick& t) {
    if (Low(t) != 0) t.channel.fineVolumeSlideMemory = static_cast<std::int8_t>(Low(t));
    Add(t.channel.volume, -t.channel.fineVolumeSlideMemory);
}

void NoteDelayRow(ChannelTick& t) {
    t.channel.period = t.rowPeriod;
    t.channel.volume = t.rowVolume;
    t.channel.panning = t.rowPanning;
    t.channel.flags = 0;
}

void PatternDelay(ChannelTick& t) { songState.patternDelayTicks = Low(t) * songState.speed; }

constexpr Handler EXTENDED_ROW[16] = {
    nullptr,     FinePortamentoUp, FinePortamentoDown, nullptr, VibratoWaveform, SetFinetune,
    PatternLoop, TremoloWaveform,  FineSetPanning,     nullptr, FineVolumeUp,    FineVolumeDown,
    nullptr,     NoteDelayRow,     PatternDelay,       nullptr};

void ExtendedRow(ChannelTick& t) {
    if (const Handler h = EXTENDED_ROW[High(t)]) h(t);
}

constexpr Handler ROW_EFFECTS[EFFECT_COUNT] = {
    nullptr,                 // 0 arpeggio
    StorePortamento,         // 1
    StorePortamento,         // 2
    ToneRow,                 // 3
    VibratoRow,              // 4
    ToneSlideRow,            // 5
    VibratoSlideRow,         // 6
    TremoloRow,              // 7
    SetPanning,              // 8
    SampleOffset,            // 9
    StoreVolumeSlide,        // A
    PositionJump,            // B
    SetVolume,               // C
    PatternBreak,            // D
    ExtendedRow,             // E
    SpeedOrTempo,            // F
    SetGlobalVolume,         // G
    StoreGlobalVolumeSlide,  // H
    nullptr,                 // I
    nullptr,                 // J
    nullptr,                 // K: key off is taken before the effects run
    EnvelopePosition,        // L
    nullptr,                 // M
    nullptr,                 // N
    nullptr,                 // O
    PanningSlideRow,         // P
    nullptr,                 // Q
    RetriggerRow,            // R
    nullptr,                 // S
    TremorRow,               // T
    nullptr,                 // U
    nullptr,                 // V
    nullptr,                 // W
    ExtraFinePortamento,     // X
    nullptr,                 // Y
    nullptr,                 // Z
};

void Arpeggio(ChannelTick& t) {
    if (t.cell.parameter == 0) return;
    ChannelState& c = t.channel;
    const int phase = songState.tick % SEMITONES_PER_ARPEGGIO_STEP;
    const int semitones = phase == 0 ? 0 : phase == 1 ? High(t) : Low(t);
    if (Linear()) {
        c.pitchOffset = LINEAR_SEMITONE * semitones;
    } else {
        const int n = c.transposedNote;
        c.pitchOffset = NotePeriod(n + semitones, t.sample.finetune, false) -
                        NotePeriod(n, t.sample.finetune, false);
    }
    c.flags |= CHANNEL_PITCH;
}

void PortamentoUp(ChannelTick& t) {
    ChannelState& c = t.channel;
    Add(c.period, -PORTAMENTO_UNIT * c.portamentoMemory);
    if (c.period < 1) c.period = 1;
}

void PortamentoDown(ChannelTick& t) {
    Add(t.channel.period, PORTAMENTO_UNIT * t.channel.portamentoMemory);
}

void ToneSlideTick(ChannelTick& t) {
    TonePortamentoStep(t);
    VolumeSlide(t);
}

void VibratoSlideTick(ChannelTick& t) {
    Vibrato(t);
    VolumeSlide(t);
}

void GlobalVolumeSlide(ChannelTick&) {
    const int x = songState.globalVolumeSlideMemory >> 4;
    const int y = songState.globalVolumeSlideMemory & 0x0F;
    Add(songState.globalVolume, x != 0 ? x : -y);
}

void PanningSlide(ChannelTick& t) {
    ChannelState& c = t.channel;
    const int x = c.panningSlideMemory >> 4;
    const int y = c.panningSlideMemory & 0x0F;
    if (x != 0) {
        c.panning = static_cast<std::int32_t>(
            std::min<std::int64_t>(std::int64_t{c.panning} + x, MAX_PANNING));
    } else {
        c.panning =
            static_cast<std::int32_t>(std::max<std::int64_t>(std::int64_t{c.panning} - y, 0));
    }
    c.flags |= CHANNEL_PANNING;
}

void MultiRetrigger(ChannelTick& t) {
    ChannelState& c = t.channel;
    const int interval = c.retriggerInterval;
    if (interval == 0 || songState.tick % interval != 0) return;
    c.flags |= CHANNEL_START_SAMPLE;
    if (c.retriggerVolumeChange != 0) {
        c.volume = Saturate(RetriggerVolume(c.retriggerVolumeChange, c.volume));
        c.flags |= CHANNEL_VOLUME;
    }
}

void Retrigger(ChannelTick& t) {
    const int y = Low(t);
    if (y != 0 && songState.tick % y == 0) {
        t.channel.flags |= CHANNEL_PITCH | CHANNEL_VOLUME | CHANNEL_START_SAMPLE;
    }
}

void NoteCut(ChannelTick& t) {
    if (songState.tick != Low(t)) return;
    t.channel.volume = 0;
    t.channel.flags |= CHANNEL_VOLUME;
}

void NoteDelayTick(ChannelTick& t) {
    ChannelState& c = t.channel;
    if (songState.tick != Low(t)) {
        c.flags = 0;
        return;
    }
    const std::int32_t envelopeBefore = c.volumeEnvelope.value;
    ResetInstrumentState(c);
    c.volumeEnvelope.value = envelopeBefore > 9 ? FULL_ENVELOPE_VOLUME : 0;
    c.volume = t.sample.volume;
    ResetWaveformPositions(c);
    c.period = c.notePeriod;
    c.flags |= CHANNEL_PITCH | CHANNEL_VOLUME | CHANNEL_START_SAMPLE;
    RunRowVolumeColumn(t);
}

constexpr Handler EXTENDED_TICK[16] = {nullptr, nullptr,       nullptr, nullptr,   nullptr, nullptr,
                                       nullptr, nullptr,       nullptr, Retrigger, nullptr, nullptr,
                                       NoteCut, NoteDelayTick, nullptr, nullptr};

void ExtendedTick(ChannelTick& t) {
    if (const Handler h = EXTENDED_TICK[High(t)]) h(t);
}

constexpr Handler TICK_EFFECTS[LAST_TICK_EFFECT + 1] = {
    Arpeggio,            // 0
    PortamentoUp,        // 1
    PortamentoDown,      // 2
    TonePortamentoStep,  // 3
    Vibrato,             // 4
    ToneSlideTick,       // 5
    VibratoSlideTick,    // 6
    Tremolo,             // 7
    nullptr,             // 8
    nullptr,             // 9
    VolumeSlide,         // A
    nullptr,             // B
    nullptr,             // C
    nullptr,             // D
    ExtendedTick,        // E
    nullptr,             // F
    nullptr,             // G
    GlobalVolumeSlide,   // H
    nullptr,             // I
    nullptr,             // J
    nullptr,             // K
    nullptr,             // L
    nullptr,             // M
    nullptr,             // N
    nullptr,             // O
    PanningSlide,        // P
    nullptr,             // Q
    MultiRetrigger,      // R
    nullptr,             // S
    TremorStep,          // T
};

int VolumeColumnLow(const ChannelTick& t) { return t.cell.volume & 0x0F; }

void ColumnSetVolume(ChannelTick& t) {
    if (t.cell.volume <= 0x50) t.channel.volume = t.cell.volume - 0x10;
}
void ColumnVolumeDown(ChannelTick& t) { Add(t.channel.volume, -VolumeColumnLow(t)); }
void ColumnVolumeUp(ChannelTick& t) { Add(t.channel.volume, VolumeColumnLow(t)); }
void ColumnSlideDown(ChannelTick& t) {
    ColumnVolumeDown(t);
    t.channel.flags |= CHANNEL_VOLUME;
}
void ColumnSlideUp(ChannelTick& t) {
    ColumnVolumeUp(t);
    t.channel.flags |= CHANNEL_VOLUME;
}
void ColumnVibratoSpeed(ChannelTick& t) {
    t.channel.vibratoSpeed = static_cast<std::uint8_t>(VolumeColumnLow(t));
}
void ColumnVibratoDepth(ChannelTick& t) {
    t.channel.vibratoDepth = static_cast<std::uint8_t>(VolumeColumnLow(t));
}
void ColumnVibrato(ChannelTick& t) {
    ColumnVibratoDepth(t);
    Vibrato(t);
}
void ColumnSetPanning(ChannelTick& t) {
    t.channel.panning = VOLUME_COLUMN_PANNING_UNIT * VolumeColumnLow(t);
    t.channel.flags |= CHANNEL_PANNING;
}
void ColumnPanLeft(ChannelTick& t) {
    Add(t.channel.panning, -VolumeColumnLow(t));
    t.channel.flags |= CHANNEL_PANNING;
}
void ColumnPanRight(ChannelTick& t) {
    Add(t.channel.panning, VolumeColumnLow(t));
    t.channel.flags |= CHANNEL_PANNING;
}
void ColumnPortamento(ChannelTick& t) {
    if (VolumeColumnLow(t) != 0) {
        t.channel.portamentoSpeed =
            static_cast<std::uint8_t>(VOLUME_COLUMN_PORTAMENTO_UNIT * VolumeColumnLow(t));
    }
    // The note, if any, has already set the period: it sounds at once without a restart.
    AimPortamento(t, CHANNEL_START_SAMPLE);
}

constexpr Handler VOLUME_COLUMN_ROW[16] = {
    nullptr,          ColumnSetVolume, ColumnSetVolume,    ColumnSetVolume,
    ColumnSetVolume,  ColumnSetVolume, ColumnVolumeDown,   ColumnVolumeUp,
    ColumnVolumeDown, ColumnVolumeUp,  ColumnVibratoSpeed, ColumnVibratoDepth,
    ColumnSetPanning, ColumnPanLeft,   ColumnPanRight,     ColumnPortamento};

constexpr Handler VOLUME_COLUMN_TICK[16] = {
    nullptr,         nullptr,       nullptr,        nullptr,           nullptr, nullptr,
    ColumnSlideDown, ColumnSlideUp, nullptr,        nullptr,           nullptr, ColumnVibrato,
    nullptr,         ColumnPanLeft, ColumnPanRight, TonePortamentoStep};

}  // namespace

void ResetWaveformPositions(ChannelState& c) {
    if (c.waveformControl < 0x4F || c.waveformControl >= 0x80) c.tremoloPosition = 0;
    if ((c.waveformControl & 0x0C) == 0) c.vibratoPosition = 0;
}

int Waveform(int position, int waveform) {
    const int p = position % WAVEFORM_STEPS;
    switch (waveform & 3) {
        case 0:
            return p < 32 ? HALF_SINE[p] : -HALF_SINE[p - 32];
        case 1:
            // A falling saw on the sine's scale: from 0 down to -124, then from 127 down to 3.
            return p < 32 ? -4 * p : 255 - 4 * p;
        default:
            return p < 32 ? 127 : -127;
    }
}

void RunRowEffect(ChannelTick& t) {
    const int effect = t.cell.effect;
    if (effect == 0 || effect > LAST_ROW_EFFECT) return;
    if (const Handler h = ROW_EFFECTS[effect]) h(t);
}

void RunTickEffect(ChannelTick& t) {
    const int effect = t.cell.effect;
    if (effect > LAST_TICK_EFFECT) return;
    if (const Handler h = TICK_EFFECTS[effect]) h(t);
}

void RunRowVolumeColumn(ChannelTick& t) {
    if (const Handler h = VOLUME_COLUMN_ROW[t.cell.volume >> 4]) h(t);
}

void RunTickVolumeColumn(ChannelTick& t) {
    if (const Handler h = VOLUME_COLUMN_TICK[t.cell.volume >> 4]) h(t);
}
