// Placeholders until the sequencer lands: the song advances row by row and starts each note at
// the sample's own rate and full volume, without effects or envelopes.
#include "music/sequencer.h"

SongState songState;

void SetTempo(std::int32_t bpm) { songState.samplesPerTick = bpm == 0 ? 120000 : 120000 / bpm; }

void StartSong() {
    songState.tick = 0;
    songState.speed = song.defaultSpeed;
    songState.patternDelayTicks = 0;
    songState.orderPosition = 0;
    songState.row = 0;
    songState.pendingOrder.store(0, std::memory_order_relaxed);
    songState.pendingRow.store(0, std::memory_order_relaxed);
    songState.framesLeftInTick = 0;
    songState.globalVolume = 64;
    songState.globalVolumeSlideMemory = 0;
    SetTempo(song.defaultTempo);
    for (int c = 0; c < song.numChannels; ++c) {
        song.channels[c] = ChannelState{};
        song.channels[c].voice = &song.voices[2 * c];
    }
}

namespace {
void StartNotes(const PatternEntry& pattern) {
    for (int c = 0; c < song.numChannels; ++c) {
        const Cell& cell = pattern.cells[songState.row * song.numChannels + c];
        if (cell.note == 0 || cell.note > 96 || cell.instrument == 0 ||
            cell.instrument > song.numInstruments) {
            continue;
        }
        const Instrument& instrument = song.instruments[cell.instrument - 1];
        const std::uint8_t slot = instrument.sampleForNote[cell.note - 1];
        if (slot >= MAX_INSTRUMENT_SAMPLES || instrument.samples[slot] == nullptr) continue;
        Voice& voice = *song.channels[c].voice;
        voice = Voice{};
        voice.sample = instrument.samples[slot];
        voice.stepInteger = 1;
        voice.volume = 64;
        voice.panning = 128;
        voice.leftTarget = 32;
        voice.rightTarget = 32;
    }
}
}  // namespace

bool RunTick() {
    if (songState.tick != 0) return false;
    const std::int32_t order = songState.pendingOrder.exchange(-1, std::memory_order_relaxed);
    const std::int32_t row = songState.pendingRow.exchange(-1, std::memory_order_relaxed);
    if (order != -1) songState.orderPosition = order;
    if (row != -1) songState.row = row;
    const PatternEntry& pattern = song.patterns[song.orders[songState.orderPosition]];
    if (pattern.cells != nullptr && songState.row < pattern.rows) StartNotes(pattern);
    if (songState.row + 1 < pattern.rows) {
        songState.pendingRow.store(songState.row + 1, std::memory_order_relaxed);
        return false;
    }
    songState.pendingRow.store(0, std::memory_order_relaxed);
    if (songState.orderPosition + 1 < song.songLength) {
        songState.pendingOrder.store(songState.orderPosition + 1, std::memory_order_relaxed);
        return false;
    }
    songState.pendingOrder.store(
        song.restartPosition < song.songLength ? song.restartPosition : 0,
        std::memory_order_relaxed);
    return true;
}
