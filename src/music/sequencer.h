#pragma once

#include <atomic>
#include <cstdint>

#include "music/voice.h"
#include "music/xm_module.h"

// What the voice update must redo for a channel this tick.
constexpr std::uint8_t CHANNEL_PITCH = 1;
constexpr std::uint8_t CHANNEL_VOLUME = 2;
constexpr std::uint8_t CHANNEL_PANNING = 4;
constexpr std::uint8_t CHANNEL_START_SAMPLE = 8;

// The state of one envelope of a channel (volume or panning).
struct EnvelopeState {
    std::int32_t tick;
    std::int32_t nextPoint;
    std::int32_t slope;  // per tick, 16.16
    std::int32_t value;  // 16.16
    std::int32_t valueInt;
    std::uint8_t ended;
};

// One channel's playing state; all zero at load except voice.
struct ChannelState {
    std::uint8_t note;  // the last note given, 0..95
    std::uint8_t flags;
    std::uint8_t instrument;  // the last instrument given, counted from 0
    Voice* voice;             // the active voice of the channel's pair
    std::int32_t period;
    std::int32_t volume;
    std::int32_t tremoloOffset;
    std::int32_t pitchOffset;
    std::int32_t panning;
    EnvelopeState volumeEnvelope;
    EnvelopeState panningEnvelope;
    std::int32_t autoVibratoSweep;
    std::int32_t autoVibratoPosition;
    std::uint8_t keyOff;
    std::int32_t volumeEnvelopeValue;
    std::int32_t fadeoutVolume;
    std::int32_t panningEnvelopeValue;
    std::int32_t notePeriod;
    std::int32_t offsetMemory;
    std::int32_t portamentoTarget;
    std::uint8_t patternLoopCounter;
    std::int32_t patternLoopRow;
    std::uint8_t transposedNote;
    std::uint8_t lastEffect;
    std::uint8_t portamentoMemory;
    std::uint8_t extraFineDownMemory;
    std::uint8_t extraFineUpMemory;
    std::uint8_t volumeSlideMemory;
    std::uint8_t panningSlideMemory;
    std::uint8_t retriggerVolumeChange;
    std::uint8_t retriggerInterval;
    std::uint8_t portamentoSpeed;
    std::uint8_t vibratoPosition;
    std::uint8_t vibratoSpeed;
    std::uint8_t vibratoDepth;
    std::uint8_t tremoloPosition;
    std::uint8_t tremoloSpeed;
    std::uint8_t tremoloDepth;
    std::uint8_t tremorCounter;
    std::uint8_t tremorOn;
    std::uint8_t tremorOff;
    std::uint8_t waveformControl;
    std::int8_t fineVolumeSlideMemory;
    std::uint8_t finePortamentoUpMemory;
    std::uint8_t finePortamentoDownMemory;
};

// The song's playing position and timing. Written on the music thread (or on the caller's
// thread while PlayModule loads and prefills); the pending order and row are also written by
// JumpToOrder from the game's thread, hence atomic.
struct SongState {
    std::int32_t tick;
    std::int32_t speed;  // ticks per row
    std::int32_t patternDelayTicks;
    std::int32_t orderPosition;
    std::int32_t row;
    std::atomic<std::int32_t> pendingOrder;  // -1: none
    std::atomic<std::int32_t> pendingRow;    // -1: none
    std::int32_t samplesPerTick;
    std::int32_t framesLeftInTick;  // kept by the block render
    std::int32_t globalVolume;
    std::uint8_t globalVolumeSlideMemory;
};

extern SongState songState;

// Puts the song's playing state to the start of the freshly loaded song: order position 0,
// row 0, tick 0, the default speed and tempo, global volume 64, every channel zero and pointing
// at the first voice of its pair.
void StartSong();

// One tick: the row tick (pending order and row applied, cells read, row advance) when tick is
// 0, the tick effects otherwise. The caller then advances tick and refills framesLeftInTick.
// Returns true when this tick's row advance passed the end of the song (play then goes on at
// the restart position, or the player stops itself).
bool RunTick();

// samplesPerTick := 120000 / bpm; a tempo of 0 gives 120000.
void SetTempo(std::int32_t bpm);
