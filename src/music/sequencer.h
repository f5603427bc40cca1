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

constexpr std::int32_t FULL_FADEOUT_VOLUME = 65536;
constexpr std::int32_t FULL_ENVELOPE_VOLUME = 64;
constexpr std::int32_t MIDDLE_ENVELOPE_PANNING = 32;
constexpr std::int32_t START_GLOBAL_VOLUME = 64;
constexpr std::int32_t NONE_PENDING = -1;

// The state of one envelope of a channel (volume or panning).
struct EnvelopeState {
    std::int32_t tick;        // the envelope's own tick counter
    std::int32_t nextPoint;   // the point the envelope goes toward
    std::int32_t slope;       // change per tick, 16.16
    std::int32_t fixedValue;  // 16.16
    std::int32_t value;       // fixedValue >> 16: what the voice update uses, 0..64
    std::uint8_t ended;       // the last point has been reached
};

// One channel's playing state; all zero at load except voice.
struct ChannelState {
    std::uint8_t note;        // the last note given, 0..95
    std::uint8_t flags;       // CHANNEL_PITCH | CHANNEL_VOLUME | ...
    std::uint8_t instrument;  // the last instrument given, counted from 0
    Voice* voice;             // the active voice of the channel's pair
    std::int32_t period;
    std::int32_t volume;         // 0..64 from a cell; slides and retriggers do not clamp it
    std::int32_t tremoloOffset;  // added to the volume this tick (tremolo, tremor)
    std::int32_t pitchOffset;    // added to the period this tick (vibrato, arpeggio, auto-vibrato)
    std::int32_t panning;        // 0..255 from a cell, 128 the middle
    EnvelopeState volumeEnvelope;
    EnvelopeState panningEnvelope;
    std::int32_t autoVibratoSweep;     // grows by one a tick up to the instrument's sweep
    std::int32_t autoVibratoPosition;  // 0..255
    std::uint8_t keyOff;
    std::int32_t fadeoutVolume;  // 0..65536
    std::int32_t notePeriod;     // the last note's period with its relative note and finetune
    std::int32_t offsetMemory;   // sample offset in sample points
    std::int32_t portamentoTarget;
    std::uint8_t patternLoopCounter;
    std::int32_t patternLoopRow;
    std::int32_t transposedNote;  // note + the sample's relative note
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
    std::uint8_t waveformControl;       // low nibble vibrato waveform, high nibble tremolo waveform
    std::int8_t fineVolumeSlideMemory;  // negative for a slide up (EA), positive down (EB)
    std::uint8_t finePortamentoUpMemory;
    std::uint8_t finePortamentoDownMemory;
};

// Called at the end of every RunTick when set; tools use it to list the rows as they play.
using TickObserver = void (*)(bool rowTick);

// The song's playing position and timing, and what the sequencer plays a missing sample as.
// Written on the music thread (or on the caller's thread while PlayModule loads and prefills);
// the pending order and row are also written by JumpToOrder from the game's thread, hence
// atomic.
struct SongState {
    std::int32_t tick;   // counts the ticks of the current row from 0
    std::int32_t speed;  // ticks per row
    std::int32_t patternDelayTicks;
    std::int32_t orderPosition;
    std::int32_t row;
    std::atomic<std::int32_t> pendingOrder;  // NONE_PENDING: none
    std::atomic<std::int32_t> pendingRow;    // NONE_PENDING: none
    std::int32_t samplesPerTick;
    std::int32_t framesLeftInTick;  // kept by the block render
    std::int32_t globalVolume;      // 64 at the start; G and H move it without limits
    std::uint8_t globalVolumeSlideMemory;
    // A missing instrument, or a note its map gives no sample for, plays as this silent sample:
    // nothing to start, no envelopes.
    std::int16_t emptyData[SAMPLE_GUARD_VALUES];
    Sample emptySample;
    TickObserver tickObserver;
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

// One tick of play as the block render runs it: RunTick, then the tick count moves on (back to
// 0 at the end of the row, which also ends a pattern delay) and the new tick's frames are
// counted. Returns what RunTick returned.
bool PlayTick();

// samplesPerTick := 120000 / bpm; a tempo of 0 gives 120000.
void SetTempo(std::int32_t bpm);
