#pragma once

#include <cstdint>

// The song as the loader leaves it in memory. Everything the pointers reach lives in the
// song arena and goes when the song is released; nothing is freed one by one.

struct ChannelState;
struct Voice;

// One note cell of a pattern; note 0 none, 1..96 a note, 97 and above key off.
struct Cell {
    std::uint8_t note;
    std::uint8_t instrument;  // 0 none, else 1..number of instruments
    std::uint8_t volume;      // the volume-column byte
    std::uint8_t effect;
    std::uint8_t parameter;
};
static_assert(sizeof(Cell) == 5);

struct PatternEntry {
    std::uint16_t rows;        // as read; an empty pattern keeps its count unchecked
    std::uint16_t packedSize;  // kept from the file, not used in play
    Cell* cells;               // rows x channels, row-major; null for an empty pattern
};

constexpr int MAX_CHANNELS = 64;
constexpr int MAX_ORDERS = 256;
constexpr int MAX_PATTERN_ROWS = 256;
constexpr int ADDED_PATTERN_ROWS = 64;
constexpr int MAX_INSTRUMENT_SAMPLES = 16;
constexpr int MAX_SAMPLE_HEADER_SIZE = 40;
constexpr std::uint32_t MAX_SAMPLE_POINTS = 0x400000;  // a sample has fewer than this
constexpr int NOTE_COUNT = 96;
constexpr int ENVELOPE_POINTS = 12;
constexpr int SAMPLE_GUARD_VALUES = 3;  // values stored behind a sample's last point

constexpr std::uint8_t LOOP_NONE = 0;
constexpr std::uint8_t LOOP_FORWARD = 1;
constexpr std::uint8_t LOOP_PINGPONG = 2;

constexpr std::uint8_t ENVELOPE_ON = 1;
constexpr std::uint8_t ENVELOPE_SUSTAIN = 2;
constexpr std::uint8_t ENVELOPE_LOOP = 4;

constexpr std::uint16_t SONG_LINEAR_FREQUENCIES = 1;  // bit 0 of the song flags

struct Sample {
    std::uint32_t length;      // in sample points
    std::uint32_t loopStart;   // in sample points; 0 without a loop
    std::uint32_t loopLength;  // in sample points; the length without a loop
    std::uint8_t volume;       // 0..64
    std::int8_t finetune;      // -128..127; effect E5y changes it for the rest of the song
    std::uint8_t is16Bit;      // 0 or 1
    std::uint8_t panning;      // 0..255
    std::int8_t relativeNote;
    std::uint8_t packing;   // 0xAD: the data was 4-bit packed
    std::uint8_t loopType;  // LOOP_NONE, LOOP_FORWARD, LOOP_PINGPONG, or 3 as read
    std::uint8_t unused;
    // length + SAMPLE_GUARD_VALUES values; 8-bit data is stored as value x 256. The value at
    // loopStart + loopLength is the guard the mixer's interpolation reads: the loop's first
    // value for a forward loop, its last for a ping-pong loop, else 0.
    std::int16_t* data;
};

struct EnvelopePoint {
    std::uint16_t tick;
    std::uint16_t value;
};

struct Envelope {
    EnvelopePoint points[ENVELOPE_POINTS];
    std::uint8_t pointCount;
    std::uint8_t sustainPoint;
    std::uint8_t loopStartPoint;
    std::uint8_t loopEndPoint;
    std::uint8_t type;  // ENVELOPE_ON | ENVELOPE_SUSTAIN | ENVELOPE_LOOP; 0 when under 2 points
};

// An instrument without samples keeps everything but its sample slots zero.
struct Instrument {
    Sample* samples[MAX_INSTRUMENT_SAMPLES];  // null where there is none
    std::uint8_t sampleForNote[NOTE_COUNT];   // may name a slot of 16 or more: no sample
    Envelope volumeEnvelope;
    Envelope panningEnvelope;
    std::uint8_t vibratoWaveform;
    std::uint8_t vibratoSweep;
    std::uint8_t vibratoDepth;
    std::uint8_t vibratoRate;
    std::uint16_t fadeout;  // the file's value doubled, kept in 16 bits
};

// The loaded module. Written only while a song loads (on the caller's thread, before the music
// thread starts); read-only during play except the samples' finetune.
struct Song {
    // Unchanged from the file's header, except patternCount (raised to cover the order table).
    std::uint16_t songLength;  // 1..256
    std::uint16_t restartPosition;
    std::uint16_t channelCount;  // as stored; numChannels is what counts
    std::uint16_t patternCount;
    std::uint16_t instrumentCount;  // as stored; numInstruments is what counts
    std::uint16_t flags;            // SONG_LINEAR_FREQUENCIES
    std::uint16_t defaultSpeed;
    std::uint16_t defaultTempo;
    std::uint8_t orders[MAX_ORDERS];

    std::int32_t numChannels;     // 1..64, the low 8 bits of channelCount
    std::int32_t numInstruments;  // 0..255, the low 8 bits of instrumentCount
    PatternEntry* patterns;       // patternCount entries
    Instrument* instruments;      // numInstruments entries
    Voice* voices;                // 2 per channel, the pair of a channel side by side
    ChannelState* channels;       // numChannels entries

    char title[24];  // the module name's printable characters, zero-terminated
    bool loaded;
};

extern Song song;
