#include "song_instruments.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;
// A one-shot drum is sampled at the rate C-5 plays it (8363 Hz is C-4).
constexpr double DRUM_RATE = 16726.0;
constexpr double SAMPLE_PEAK = 30000.0;

std::int8_t RelativeNoteFor(int cyclePoints) {
    // 32 points a cycle at 8363 Hz is C-4 within two cents; each doubling is an octave down.
    return static_cast<std::int8_t>(12 * std::lround(std::log2(cyclePoints / 32.0)));
}

std::vector<std::int16_t> Normalised(const std::vector<double>& wave, double peak) {
    double loudest = 0.0;
    for (double v : wave) loudest = std::max(loudest, std::abs(v));
    std::vector<std::int16_t> out;
    out.reserve(wave.size());
    for (double v : wave) {
        out.push_back(static_cast<std::int16_t>(std::lround(loudest > 0 ? v * peak / loudest : 0)));
    }
    return out;
}

// `cycles` cycles of a sum of harmonics (level of harmonic k at index k - 1), band-limited to
// what the cycle can hold.
std::vector<double> Additive(int cyclePoints, int cycles, const std::vector<double>& levels,
                             double phaseShift = 0.0) {
    std::vector<double> wave(static_cast<std::size_t>(cyclePoints * cycles), 0.0);
    const int limit = std::min<int>(static_cast<int>(levels.size()), cyclePoints / 4);
    for (std::size_t i = 0; i < wave.size(); ++i) {
        const double phase = TWO_PI * static_cast<double>(i) / cyclePoints;
        for (int k = 1; k <= limit; ++k) {
            wave[i] += levels[static_cast<std::size_t>(k - 1)] * std::sin(k * phase + phaseShift * k);
        }
    }
    return wave;
}

XmInstrument Looped(const char* name, const std::vector<double>& wave, int cyclePoints) {
    XmInstrument instrument;
    instrument.name = name;
    instrument.sample.data = Normalised(wave, SAMPLE_PEAK);
    instrument.sample.loopStart = 0;
    instrument.sample.loopLength = static_cast<std::uint32_t>(wave.size());
    instrument.sample.relativeNote = RelativeNoteFor(cyclePoints);
    return instrument;
}

XmInstrument OneShot(const char* name, const std::vector<double>& wave) {
    XmInstrument instrument;
    instrument.name = name;
    instrument.sample.data = Normalised(wave, SAMPLE_PEAK);
    instrument.sample.eightBit = true;
    return instrument;
}

std::vector<double> SawLevels(int count, double rolloff) {
    std::vector<double> levels;
    for (int k = 1; k <= count; ++k) levels.push_back(1.0 / std::pow(k, rolloff));
    return levels;
}

// A small deterministic noise source for the drums.
class Noise {
public:
    double Next() {
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) & 0xFFFF) / 32768.0 - 1.0;
    }

private:
    std::uint32_t state = 0xC0FFEEu;
};

}  // namespace

// Two saws a cycle apart over the loop: a slow chorus. Swells in, holds, dies away after key off.
XmInstrument PadInstrument(int cyclePoints) {
    constexpr int LOOP_CYCLES = 96;
    const std::vector<double> levels = SawLevels(12, 1.4);
    std::vector<double> wave = Additive(cyclePoints, LOOP_CYCLES, levels);
    const std::size_t points = wave.size();
    for (std::size_t i = 0; i < points; ++i) {
        const double phase = TWO_PI * static_cast<double>(i) * (LOOP_CYCLES + 1) /
                             static_cast<double>(points);
        for (int k = 1; k <= std::min(12, cyclePoints / 4); ++k) {
            wave[i] += levels[static_cast<std::size_t>(k - 1)] * std::sin(k * phase);
        }
    }
    XmInstrument pad = Looped("Pad", wave, cyclePoints);
    pad.volume.points = {{0, 0}, {12, 48}, {30, 56}, {60, 48}};
    pad.volume.sustain = 3;
    pad.fadeout = 0x0300;
    pad.vibratoType = 0;
    pad.vibratoSweep = 40;
    pad.vibratoDepth = 3;
    pad.vibratoRate = 6;
    return pad;
}

// Sine partials 1, 2, 3 and 5, struck: a soft electric-piano bell.
XmInstrument BellInstrument(int cyclePoints) {
    XmInstrument bell = Looped("Bell", Additive(cyclePoints, 1, {1.0, 0.35, 0.12, 0.0, 0.08}),
                               cyclePoints);
    bell.volume.points = {{0, 64}, {4, 50}, {30, 26}, {90, 10}, {200, 0}};
    bell.fadeout = 0x0200;
    return bell;
}

// Mostly sine with a breath of odd harmonics; swells a little and sings.
XmInstrument FluteInstrument(int cyclePoints) {
    XmInstrument flute = Looped("Flute", Additive(cyclePoints, 1, {1.0, 0.12, 0.18, 0.03, 0.05}),
                                cyclePoints);
    flute.volume.points = {{0, 0}, {3, 56}, {10, 48}, {40, 44}};
    flute.volume.sustain = 3;
    flute.fadeout = 0x0600;
    flute.vibratoSweep = 24;
    flute.vibratoDepth = 4;
    flute.vibratoRate = 10;
    return flute;
}

// A band-limited pulse of about a third: bright, for leads.
XmInstrument SquareLeadInstrument(int cyclePoints) {
    std::vector<double> levels;
    for (int k = 1; k <= 16; ++k) {
        levels.push_back(std::sin(std::numbers::pi * k / 3.0) / k * std::pow(0.93, k));
    }
    XmInstrument lead = Looped("Lead", Additive(cyclePoints, 1, levels), cyclePoints);
    lead.volume.points = {{0, 0}, {2, 64}, {8, 48}, {24, 40}};
    lead.volume.sustain = 3;
    lead.fadeout = 0x0800;
    return lead;
}

// A short square pluck for arpeggios.
XmInstrument PluckInstrument(int cyclePoints) {
    std::vector<double> levels;
    for (int k = 1; k <= 12; ++k) levels.push_back(k % 2 == 1 ? 1.0 / k : 0.0);
    XmInstrument pluck = Looped("Pluck", Additive(cyclePoints, 1, levels), cyclePoints);
    pluck.volume.points = {{0, 64}, {6, 36}, {20, 22}, {60, 0}};
    pluck.fadeout = 0x0800;
    return pluck;
}

// Warm and round: a triangle with a little saw on top.
XmInstrument BassInstrument(int cyclePoints) {
    std::vector<double> levels;
    for (int k = 1; k <= 10; ++k) {
        const double triangle = k % 2 == 1 ? 1.0 / (k * k) : 0.0;
        levels.push_back(triangle + 0.25 / k);
    }
    XmInstrument bass = Looped("Bass", Additive(cyclePoints, 1, levels), cyclePoints);
    bass.volume.points = {{0, 64}, {6, 52}, {24, 44}};
    bass.volume.sustain = 2;
    bass.fadeout = 0x0A00;
    return bass;
}

// A sine that drops from 150 Hz to 45 Hz, with a tiny click of attack.
XmInstrument KickInstrument() {
    const std::size_t points = static_cast<std::size_t>(0.28 * DRUM_RATE);
    std::vector<double> wave(points);
    double phase = 0.0;
    for (std::size_t i = 0; i < points; ++i) {
        const double t = static_cast<double>(i) / DRUM_RATE;
        const double frequency = 45.0 + 105.0 * std::exp(-t / 0.03);
        phase += TWO_PI * frequency / DRUM_RATE;
        const double attack = std::min(t / 0.001, 1.0);
        wave[i] = attack * std::exp(-t / 0.09) * std::sin(phase);
    }
    return OneShot("Kick", wave);
}

// Noise over a short 190 Hz body.
XmInstrument SnareInstrument() {
    const std::size_t points = static_cast<std::size_t>(0.2 * DRUM_RATE);
    std::vector<double> wave(points);
    Noise noise;
    double low = 0.0;
    for (std::size_t i = 0; i < points; ++i) {
        const double t = static_cast<double>(i) / DRUM_RATE;
        const double white = noise.Next();
        low += (white - low) * 0.5;
        const double attack = std::min(t / 0.001, 1.0);
        wave[i] = attack * (0.8 * low * std::exp(-t / 0.05) +
                            0.6 * std::sin(TWO_PI * 190.0 * t) * std::exp(-t / 0.025));
    }
    return OneShot("Snare", wave);
}

// Bright noise, very short.
XmInstrument HatInstrument() {
    const std::size_t points = static_cast<std::size_t>(0.06 * DRUM_RATE);
    std::vector<double> wave(points);
    Noise noise;
    double previous = 0.0;
    for (std::size_t i = 0; i < points; ++i) {
        const double t = static_cast<double>(i) / DRUM_RATE;
        const double white = noise.Next();
        const double high = white - previous;
        previous = white;
        wave[i] = std::min(t / 0.0005, 1.0) * high * std::exp(-t / 0.015);
    }
    XmInstrument hat = OneShot("Hat", wave);
    return hat;
}
