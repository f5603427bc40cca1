#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds small XM modules byte by byte for tests, in the file's own layout.

struct XmCell {
    std::uint8_t note = 0;
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0;
    std::uint8_t effect = 0;
    std::uint8_t parameter = 0;
};

struct XmPattern {
    std::uint16_t rows = 64;
    // Cells row by row, channel by channel; missing cells are empty. Ignored when packed is
    // set.
    std::vector<XmCell> cells;
    // Raw packed data to store instead of packing cells (may be empty: an empty pattern).
    std::vector<std::uint8_t> packed;
    bool usePacked = false;
};

struct XmSample {
    // As stored: lengths and loop in bytes, data already delta-coded (or 4-bit packed).
    std::uint32_t length = 0;  // 0: the data's size
    std::uint32_t loopStart = 0;
    std::uint32_t loopLength = 0;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;
    std::uint8_t type = 0;  // bits 0-1 loop, bit 4 16-bit
    std::uint8_t panning = 128;
    std::int8_t relativeNote = 0;
    std::uint8_t packing = 0;
    std::vector<std::uint8_t> data;
};

// An instrument's envelope as the file stores it: its points (tick, value) and flags.
struct XmEnvelopeSketch {
    std::vector<std::pair<std::uint16_t, std::uint16_t>> points;
    std::uint8_t sustain = 0, loopStart = 0, loopEnd = 0, type = 0;
};

struct XmInstrument {
    std::uint32_t headerSize = 263;  // 29 is usual for an instrument without samples
    std::uint32_t sampleHeaderSize = 40;
    std::vector<std::uint8_t> sampleForNote = std::vector<std::uint8_t>(96, 0);
    XmEnvelopeSketch volumeEnvelope, panningEnvelope;
    std::uint8_t vibratoWaveform = 0, vibratoSweep = 0, vibratoDepth = 0, vibratoRate = 0;
    std::uint16_t fadeout = 0;
    std::vector<XmSample> samples;
};

// A sketch of a whole module: its header's fields, patterns and instruments, which BuildXm writes
// out as the file's bytes. The counts it stores may be made to disagree with what follows.
struct XmModuleSketch {
    std::string name = "test";
    std::uint32_t headerSize = 276;
    std::uint16_t songLength = 1;
    std::uint16_t restartPosition = 0;
    std::uint16_t channels = 4;
    std::uint16_t flags = 1;
    std::uint16_t speed = 6;
    std::uint16_t tempo = 125;
    std::vector<std::uint8_t> orders = {0};
    std::vector<XmPattern> patterns = {XmPattern{}};
    std::vector<XmInstrument> instruments;
    int patternCountOverride = -1;     // stored number of patterns when >= 0
    int instrumentCountOverride = -1;  // stored number of instruments when >= 0
};

std::vector<std::uint8_t> BuildXm(const XmModuleSketch& sketch);

// Delta-codes signed 8-bit or 16-bit values as the format stores them.
std::vector<std::uint8_t> DeltaCode8(const std::vector<std::int8_t>& values);
std::vector<std::uint8_t> DeltaCode16(const std::vector<std::int16_t>& values);

// A module with one channel, one instrument with one sample of the given 8-bit values and a
// single note on row 0 (C-4 with instrument 1).
XmModuleSketch OneNoteModule(const std::vector<std::int8_t>& values, std::uint8_t loopType = 0,
                             std::uint32_t loopStart = 0, std::uint32_t loopLength = 0);
