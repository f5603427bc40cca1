#include "music/sequencer.h"

#include <algorithm>
#include <cstdint>

#include "music/effects.h"
#include "music/envelope.h"
#include "music/pitch.h"
#include "music/voice_update.h"

SongState songState;

namespace {

constexpr std::int32_t TEMPO_FRAMES = 120000;  // frames per tick times the tempo in BPM
constexpr int FIRST_KEY_OFF_NOTE = 97;

// A missing instrument plays as this: no samples, no envelopes.
const Instrument EMPTY_INSTRUMENT{};

bool IsNote(std::uint8_t note) { return note >= 1 && note < FIRST_KEY_OFF_NOTE; }

const Instrument& ChannelInstrument(const ChannelState& c) {
    return c.instrument < song.numInstruments ? song.instruments[c.instrument] : EMPTY_INSTRUMENT;
}

Sample* ChannelSample(const ChannelState& c, const Instrument& instrument) {
    const int slot =
        c.note < NOTE_COUNT ? instrument.sampleForNote[c.note] : MAX_INSTRUMENT_SAMPLES;
    if (slot >= MAX_INSTRUMENT_SAMPLES) return nullptr;
    return instrument.samples[slot];
}

const PatternEntry* CurrentPattern() {
    const int number = song.orders[songState.orderPosition % MAX_ORDERS];
    return number < song.patternCount ? &song.patterns[number] : nullptr;
}

ChannelTick MakeTick(int index, const Cell& cell) {
    ChannelState& c = song.channels[index];
    const Instrument& instrument = ChannelInstrument(c);
    Sample* sample = ChannelSample(c, instrument);
    return ChannelTick{c,
                       cell,
                       instrument,
                       sample != nullptr ? *sample : songState.emptySample,
                       sample != nullptr,
                       &song.voices[2 * index],
                       c.period,
                       c.volume,
                       c.panning};
}

void RowTickChannel(int index, const Cell& cell) {
    ChannelState& c = song.channels[index];
    const bool portamento =
        cell.effect == EFFECT_TONE_PORTAMENTO || cell.effect == EFFECT_TONE_PORTAMENTO_SLIDE;
    if (!portamento) {
        if (cell.instrument != 0) c.instrument = static_cast<std::uint8_t>(cell.instrument - 1);
        if (IsNote(cell.note)) c.note = static_cast<std::uint8_t>(cell.note - 1);
    }
    ChannelTick t = MakeTick(index, cell);
    const Sample& sample = t.sample;

    // A tremolo that ends leaves the volume where its last tick had it.
    if (c.lastEffect == EFFECT_TREMOLO && cell.effect != EFFECT_TREMOLO) {
        c.volume = static_cast<std::int32_t>(std::clamp<std::int64_t>(
            std::int64_t{c.volume} + c.tremoloOffset, INT32_MIN, INT32_MAX));
    }
    c.lastEffect = cell.effect;
    c.tremoloOffset = 0;
    c.pitchOffset = 0;
    c.flags = CHANNEL_PITCH | CHANNEL_VOLUME;

    if (IsNote(cell.note)) {
        c.transposedNote = cell.note - 1 + sample.relativeNote;
        c.notePeriod = NotePeriod(c.transposedNote, sample.finetune,
                                  (song.flags & SONG_LINEAR_FREQUENCIES) != 0);
        if (!portamento) c.period = c.notePeriod;
        c.flags |= CHANNEL_START_SAMPLE;
    }
    if (cell.instrument != 0) {
        c.volume = sample.volume;
        c.panning = sample.panning;
        c.volumeEnvelope.value = FULL_ENVELOPE_VOLUME;
        ResetInstrumentState(c);
        ResetWaveformPositions(c);
        c.flags |= CHANNEL_VOLUME | CHANNEL_PANNING;
    }
    RunRowVolumeColumn(t);

    if (cell.note >= FIRST_KEY_OFF_NOTE || cell.effect == EFFECT_KEY_OFF) c.keyOff = 1;
    if (t.instrument.volumeEnvelope.type & ENVELOPE_ON) {
        StepEnvelope(c, t.instrument, EnvelopeKind::Volume);
    } else if (c.keyOff) {
        c.volumeEnvelope.value = 0;
    }
    if (t.instrument.panningEnvelope.type & ENVELOPE_ON) {
        StepEnvelope(c, t.instrument, EnvelopeKind::Panning);
    }
    if (c.keyOff) ApplyFadeout(c, t.instrument);

    RunRowEffect(t);
    UpdateVoice(c, t.pair, &t.sample, t.instrument);
}

void OtherTickChannel(int index, const Cell& cell) {
    ChannelTick t = MakeTick(index, cell);
    ChannelState& c = t.channel;
    c.tremoloOffset = 0;
    c.pitchOffset = 0;
    c.flags = 0;
    if (t.instrument.volumeEnvelope.type & ENVELOPE_ON) {
        StepEnvelope(c, t.instrument, EnvelopeKind::Volume);
    }
    if (t.instrument.panningEnvelope.type & ENVELOPE_ON) {
        StepEnvelope(c, t.instrument, EnvelopeKind::Panning);
    }
    if (c.keyOff) {
        ApplyFadeout(c, t.instrument);
        c.flags |= CHANNEL_VOLUME;
    }
    RunTickVolumeColumn(t);
    RunTickEffect(t);
    UpdateVoice(c, t.pair, &t.sample, t.instrument);
}

void StorePending(std::atomic<std::int32_t>& pending, std::int32_t value) {
    pending.store(value, std::memory_order_relaxed);
}

// Unless an effect of the row chose where to go, the next row, the next order position, or
// at the end of the song the restart position. True at the end of the song.
bool AdvanceRow(int rows) {
    if (songState.pendingRow.load(std::memory_order_relaxed) != NONE_PENDING) return false;
    if (songState.row + 1 < rows) {
        StorePending(songState.pendingRow, songState.row + 1);
        return false;
    }
    StorePending(songState.pendingRow, 0);
    if (songState.orderPosition + 1 < song.songLength) {
        StorePending(songState.pendingOrder, songState.orderPosition + 1);
        return false;
    }
    StorePending(songState.pendingOrder,
                 song.restartPosition < song.songLength ? song.restartPosition : 0);
    return true;
}

bool RowTick() {
    const std::int32_t order =
        songState.pendingOrder.exchange(NONE_PENDING, std::memory_order_relaxed);
    const std::int32_t row = songState.pendingRow.exchange(NONE_PENDING, std::memory_order_relaxed);
    if (order != NONE_PENDING)
        songState.orderPosition = order >= 0 && order < song.songLength ? order : 0;
    if (row != NONE_PENDING) songState.row = row;
    rowEffects.positionJumpSeen = false;

    const PatternEntry* pattern = CurrentPattern();
    const int rows = pattern != nullptr ? pattern->rows : 0;
    // A break or loop may name a row the pattern does not have: that row plays as row 0.
    if (songState.row < 0 || songState.row >= rows) songState.row = 0;
    if (pattern != nullptr && pattern->cells != nullptr) {
        const Cell* cells = pattern->cells + songState.row * song.numChannels;
        for (int c = 0; c < song.numChannels; ++c) RowTickChannel(c, cells[c]);
    }
    return AdvanceRow(rows);
}

void OtherTick() {
    const PatternEntry* pattern = CurrentPattern();
    if (pattern == nullptr || pattern->cells == nullptr || songState.row >= pattern->rows) return;
    const Cell* cells = pattern->cells + songState.row * song.numChannels;
    for (int c = 0; c < song.numChannels; ++c) OtherTickChannel(c, cells[c]);
}

}  // namespace

void SetTempo(std::int32_t bpm) {
    songState.samplesPerTick = bpm <= 0 ? TEMPO_FRAMES : TEMPO_FRAMES / bpm;
}

void StartSong() {
    songState.tick = 0;
    songState.speed = song.defaultSpeed;
    songState.patternDelayTicks = 0;
    songState.orderPosition = 0;
    songState.row = 0;
    StorePending(songState.pendingOrder, 0);
    StorePending(songState.pendingRow, 0);
    songState.framesLeftInTick = 0;
    songState.globalVolume = START_GLOBAL_VOLUME;
    songState.globalVolumeSlideMemory = 0;
    SetTempo(song.defaultTempo);
    rowEffects = RowEffects{};
    songState.emptySample = Sample{};
    songState.emptySample.data = songState.emptyData;
    for (int c = 0; c < song.numChannels; ++c) {
        song.channels[c] = ChannelState{};
        song.channels[c].voice = &song.voices[2 * c];
    }
}

bool RunTick() {
    const bool rowTick = songState.tick == 0;
    const bool ended = rowTick ? RowTick() : (OtherTick(), false);
    if (songState.tickObserver != nullptr) songState.tickObserver(rowTick);
    return ended;
}

bool PlayTick() {
    const bool ended = RunTick();
    if (++songState.tick >= songState.speed + songState.patternDelayTicks) {
        songState.tick = 0;
        songState.patternDelayTicks = 0;
    }
    songState.framesLeftInTick = std::max(songState.samplesPerTick, 1);
    return ended;
}
