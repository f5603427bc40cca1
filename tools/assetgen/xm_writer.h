#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// An Extended Module (XM 1.04) as the asset generator builds it, and its encoding.

struct XmCell {
    std::uint8_t note = 0;  // 1..96, 97 key off
    std::uint8_t instrument = 0;
    std::uint8_t volume = 0;
    std::uint8_t effect = 0;
    std::uint8_t parameter = 0;
};

constexpr std::uint8_t XM_KEY_OFF = 97;

struct XmPattern {
    int rows = 64;
    int channels = 0;
    std::vector<XmCell> cells;  // rows x channels
    XmPattern(int rowCount, int channelCount)
        : rows(rowCount), channels(channelCount),
          cells(static_cast<std::size_t>(rowCount * channelCount)) {}
    XmCell& At(int row, int channel) {
        return cells[static_cast<std::size_t>(row * channels + channel)];
    }
};

struct XmEnvelopePoint {
    std::uint16_t tick;
    std::uint16_t value;
};

struct XmEnvelope {
    std::vector<XmEnvelopePoint> points;
    int sustain = -1;  // point index, -1 none
    int loopStart = -1;
    int loopEnd = -1;
};

struct XmSample {
    std::vector<std::int16_t> data;  // written as 16-bit, or as 8-bit when eightBit
    bool eightBit = false;
    std::uint32_t loopStart = 0;   // in sample points
    std::uint32_t loopLength = 0;  // 0: no loop
    bool pingPong = false;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;
    std::uint8_t panning = 128;
    std::int8_t relativeNote = 0;
};

struct XmInstrument {
    std::string name;
    XmSample sample;
    XmEnvelope volume;
    XmEnvelope panning;
    std::uint8_t vibratoType = 0;
    std::uint8_t vibratoSweep = 0;
    std::uint8_t vibratoDepth = 0;
    std::uint8_t vibratoRate = 0;
    std::uint16_t fadeout = 0;
};

struct XmModule {
    std::string name;
    int channels = 4;
    bool linearFrequencies = true;
    int speed = 6;
    int tempo = 125;
    int restartPosition = 0;
    std::vector<int> orders;
    std::vector<XmPattern> patterns;
    std::vector<XmInstrument> instruments;
};

std::vector<std::uint8_t> EncodeXm(const XmModule& module);
