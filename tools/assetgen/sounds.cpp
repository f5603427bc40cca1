// The six sound effects, synthesised: short, clean, each its own colour, normalised, and
// faded in and out over a few milliseconds so that they never click.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>
#include <vector>

#include "assetgen.h"
#include "common/little_endian.h"
#include "platform/resource_ids.h"

namespace {

constexpr double TWO_PI = 2.0 * std::numbers::pi;
constexpr int FULL_RATE = 44100;
constexpr int HALF_RATE = 22050;
constexpr double EDGE_FADE_SECONDS = 0.004;

struct Signal {
    int rate;
    std::vector<double> left;
    std::vector<double> right;
    Signal(int sampleRate, std::size_t frames)
        : rate(sampleRate), left(frames, 0.0), right(frames, 0.0) {}
};

// One struck or blown note: a fundamental that may glide, a set of partials (ratio, level,
// how much faster than the note they die away), a vibrato, a linear attack and an exponential
// decay, cut off with a short release at its end.
struct Partial {
    double ratio;
    double level;
    double decayFactor = 1.0;
};

struct Note {
    double start;
    double length;
    double frequency;
    double glideTo = 0.0;       // frequency reached at the end of glideTime; 0 = none
    double glideTime = 0.05;
    std::vector<Partial> partials = {{1.0, 1.0}};
    double attack = 0.003;
    double decay = 0.1;         // seconds to fall by 1/e
    double level = 1.0;
    double pan = 0.0;           // -1 left .. 1 right
    double vibratoRate = 0.0;
    double vibratoDepth = 0.0;  // fraction of the frequency
    double vibratoDelay = 0.0;
};

constexpr double RELEASE_SECONDS = 0.006;

void AddNote(Signal& out, const Note& note) {
    const std::size_t first = static_cast<std::size_t>(note.start * out.rate);
    const std::size_t count = static_cast<std::size_t>(note.length * out.rate);
    const double nyquist = out.rate / 2.0;
    const double leftGain = std::cos((note.pan + 1.0) * std::numbers::pi / 4.0) * std::sqrt(2.0);
    const double rightGain = std::sin((note.pan + 1.0) * std::numbers::pi / 4.0) * std::sqrt(2.0);
    std::vector<double> phases(note.partials.size(), 0.0);
    for (std::size_t i = 0; i < count && first + i < out.left.size(); ++i) {
        const double t = static_cast<double>(i) / out.rate;
        double frequency = note.frequency;
        if (note.glideTo > 0.0) {
            const double progress = std::min(t / note.glideTime, 1.0);
            frequency = note.frequency * std::pow(note.glideTo / note.frequency, progress);
        }
        if (note.vibratoDepth > 0.0 && t > note.vibratoDelay) {
            const double ramp = std::min((t - note.vibratoDelay) / 0.1, 1.0);
            frequency *= 1.0 + ramp * note.vibratoDepth *
                                   std::sin(TWO_PI * note.vibratoRate * (t - note.vibratoDelay));
        }
        double envelope = std::min(t / note.attack, 1.0);
        const double remaining = note.length - t;
        if (remaining < RELEASE_SECONDS) envelope *= remaining / RELEASE_SECONDS;
        double value = 0.0;
        for (std::size_t p = 0; p < note.partials.size(); ++p) {
            const Partial& partial = note.partials[p];
            const double partialFrequency = frequency * partial.ratio;
            phases[p] += TWO_PI * partialFrequency / out.rate;
            if (partialFrequency >= nyquist * 0.9) continue;
            value += partial.level * std::exp(-t * partial.decayFactor / note.decay) *
                     std::sin(phases[p]);
        }
        value *= envelope * note.level;
        out.left[first + i] += value * leftGain;
        out.right[first + i] += value * rightGain;
    }
}

// A short puff of noise, low-passed, for the attack of a knock.
void AddNoiseBurst(Signal& out, double start, double length, double level, double smoothing) {
    std::uint32_t state = 0x1234567u;
    double filtered = 0.0;
    const std::size_t first = static_cast<std::size_t>(start * out.rate);
    const std::size_t count = static_cast<std::size_t>(length * out.rate);
    for (std::size_t i = 0; i < count && first + i < out.left.size(); ++i) {
        state = state * 1664525u + 1013904223u;
        const double white = static_cast<double>(state >> 8) / (1u << 24) * 2.0 - 1.0;
        filtered += (white - filtered) * smoothing;
        const double t = static_cast<double>(i) / out.rate;
        const double envelope = std::min(t / 0.0005, 1.0) * std::exp(-t / (length / 4.0));
        out.left[first + i] += filtered * envelope * level;
        out.right[first + i] += filtered * envelope * level;
    }
}

// Scales the loudest sample to the peak and fades both ends to silence.
void Finish(Signal& signal, double peak) {
    const std::size_t frames = signal.left.size();
    const std::size_t fade =
        std::min(static_cast<std::size_t>(EDGE_FADE_SECONDS * signal.rate), frames / 2);
    for (std::size_t i = 0; i < fade; ++i) {
        const double in = static_cast<double>(i) / static_cast<double>(fade);
        signal.left[i] *= in;
        signal.right[i] *= in;
        signal.left[frames - 1 - i] *= in;
        signal.right[frames - 1 - i] *= in;
    }
    double loudest = 0.0;
    for (std::size_t i = 0; i < frames; ++i) {
        loudest = std::max({loudest, std::abs(signal.left[i]), std::abs(signal.right[i])});
    }
    if (loudest == 0.0) return;
    for (std::size_t i = 0; i < frames; ++i) {
        signal.left[i] *= peak / loudest;
        signal.right[i] *= peak / loudest;
    }
}

// 16-bit stereo PCM: "RIFF", "WAVE", one 16-byte "fmt " chunk, then "data".
std::vector<std::uint8_t> EncodeWav(const Signal& signal) {
    constexpr std::uint32_t CHANNELS = 2;
    constexpr std::uint32_t BLOCK_ALIGN = CHANNELS * 2;
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(signal.left.size()) * BLOCK_ALIGN;
    std::vector<std::uint8_t> out =
        PcmWavHeader(static_cast<std::uint32_t>(signal.rate), CHANNELS, dataBytes);
    for (std::size_t i = 0; i < signal.left.size(); ++i) {
        for (double value : {signal.left[i], signal.right[i]}) {
            const long sample = std::clamp(std::lround(value * 32767.0), -32767L, 32767L);
            PutLe16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(sample)));
        }
    }
    return out;
}

bool WriteWav(const std::string& dir, int id, const Signal& signal) {
    return WriteResourceFile(dir, "WAVE", id, "wav", EncodeWav(signal));
}

constexpr double C5 = 523.25, E5 = 659.26, G5 = 783.99, C6 = 1046.50, E6 = 1318.51,
                 G6 = 1567.98, A6 = 1760.00, G4 = 392.00, C7 = 2093.00;

// A bell: inharmonic partials that die away faster the higher they are.
const std::vector<Partial> BELL = {{1.0, 1.0, 1.0}, {2.0, 0.45, 1.6}, {3.01, 0.25, 2.4},
                                   {4.2, 0.12, 3.5}, {5.43, 0.06, 4.5}};
// Brass-like: a bright saw-ish spectrum.
const std::vector<Partial> BRIGHT = {{1.0, 1.0}, {2.0, 0.5, 1.2}, {3.0, 0.33, 1.5},
                                     {4.0, 0.22, 1.8}, {5.0, 0.15, 2.1}, {6.0, 0.1, 2.4}};
// Hollow, square-like: odd partials only.
const std::vector<Partial> HOLLOW = {{1.0, 1.0}, {3.0, 0.3, 1.3}, {5.0, 0.14, 1.6},
                                     {7.0, 0.07, 2.0}};

// The pointer crosses a control: a soft, very short blip.
Signal Hover() {
    Signal s(HALF_RATE, 679);
    AddNote(s, {.start = 0, .length = 0.0308, .frequency = 1760, .glideTo = 1480,
                .glideTime = 0.03, .partials = {{1.0, 1.0}, {2.0, 0.15, 2.0}},
                .attack = 0.002, .decay = 0.012});
    Finish(s, 0.35);
    return s;
}

// A control pressed, a piece set down: a dry wooden knock.
Signal Click() {
    Signal s(FULL_RATE, 5816);
    AddNoiseBurst(s, 0, 0.012, 0.5, 0.35);
    AddNote(s, {.start = 0, .length = 0.1318, .frequency = 620, .glideTo = 410,
                .glideTime = 0.03, .partials = {{1.0, 1.0}, {2.76, 0.4, 2.5}, {5.4, 0.15, 4.0}},
                .attack = 0.001, .decay = 0.028});
    Finish(s, 0.7);
    return s;
}

// One to three rows gone: two quick rising bell strokes.
Signal LineClear() {
    Signal s(FULL_RATE, 9312);
    AddNote(s, {.start = 0, .length = 0.211, .frequency = E6, .partials = BELL,
                .attack = 0.002, .decay = 0.07, .level = 0.8, .pan = -0.3});
    AddNote(s, {.start = 0.06, .length = 0.151, .frequency = A6, .partials = BELL,
                .attack = 0.002, .decay = 0.06, .level = 0.9, .pan = 0.3});
    Finish(s, 0.8);
    return s;
}

// The piece turned: a quick upward swish that crosses from left to right.
Signal Rotate() {
    Signal s(FULL_RATE, 4348);
    AddNote(s, {.start = 0, .length = 0.0985, .frequency = 640, .glideTo = 1280,
                .glideTime = 0.07, .partials = HOLLOW, .attack = 0.004, .decay = 0.04,
                .level = 0.8, .pan = -0.25});
    AddNote(s, {.start = 0.006, .length = 0.0925, .frequency = 648, .glideTo = 1296,
                .glideTime = 0.07, .partials = HOLLOW, .attack = 0.004, .decay = 0.04,
                .level = 0.6, .pan = 0.35});
    Finish(s, 0.6);
    return s;
}

// Four rows at once: a bright arpeggio that lands on a ringing major chord with sparkle.
Signal FourLines() {
    Signal s(FULL_RATE, 52608);
    const double arpeggio[] = {C5, E5, G5, C6};
    for (int i = 0; i < 4; ++i) {
        AddNote(s, {.start = 0.07 * i, .length = 0.12, .frequency = arpeggio[i],
                    .partials = BRIGHT, .attack = 0.004, .decay = 0.09, .level = 0.55,
                    .pan = -0.45 + 0.3 * i});
    }
    const double chord[] = {C5, E5, G5, C6};
    for (int i = 0; i < 4; ++i) {
        AddNote(s, {.start = 0.28, .length = 0.91, .frequency = chord[i], .partials = BRIGHT,
                    .attack = 0.01, .decay = 0.35, .level = 0.32, .pan = -0.3 + 0.2 * i,
                    .vibratoRate = 5.5, .vibratoDepth = 0.004, .vibratoDelay = 0.1});
    }
    const double sparkle[] = {C7, G6, E6, C7, G6};
    for (int i = 0; i < 5; ++i) {
        AddNote(s, {.start = 0.30 + 0.09 * i, .length = 0.89 - 0.09 * i,
                    .frequency = sparkle[i], .partials = BELL, .attack = 0.002, .decay = 0.12,
                    .level = 0.18, .pan = i % 2 == 0 ? 0.6 : -0.6});
    }
    Finish(s, 0.89);
    return s;
}

// The level rises: a hollow climbing run that ends on a long note that swells and sings.
Signal LevelUp() {
    Signal s(FULL_RATE, 50496);
    const double run[] = {G4, C5, E5, G5, C6};
    for (int i = 0; i < 5; ++i) {
        AddNote(s, {.start = 0.075 * i, .length = 0.11, .frequency = run[i], .partials = HOLLOW,
                    .attack = 0.003, .decay = 0.08, .level = 0.6, .pan = -0.4 + 0.2 * i});
    }
    AddNote(s, {.start = 0.375, .length = 0.77, .frequency = E6 / 2.0, .glideTo = G5,
                .glideTime = 0.06, .partials = HOLLOW, .attack = 0.02, .decay = 0.4,
                .level = 0.45, .pan = -0.15, .vibratoRate = 6.0, .vibratoDepth = 0.006,
                .vibratoDelay = 0.08});
    AddNote(s, {.start = 0.375, .length = 0.77, .frequency = C6, .partials = HOLLOW,
                .attack = 0.02, .decay = 0.4, .level = 0.4, .pan = 0.15, .vibratoRate = 6.0,
                .vibratoDepth = 0.006, .vibratoDelay = 0.08});
    AddNote(s, {.start = 0.375, .length = 0.77, .frequency = G6, .partials = BELL,
                .attack = 0.003, .decay = 0.18, .level = 0.2});
    Finish(s, 0.75);
    return s;
}

}  // namespace

bool GenerateSounds(const std::string& dir) {
    bool ok = WriteWav(dir, HOVER_SOUND_ID, Hover());
    ok = WriteWav(dir, CLICK_SOUND_ID, Click()) && ok;
    ok = WriteWav(dir, LINE_CLEAR_SOUND_ID, LineClear()) && ok;
    ok = WriteWav(dir, ROTATE_SOUND_ID, Rotate()) && ok;
    ok = WriteWav(dir, FOUR_LINES_SOUND_ID, FourLines()) && ok;
    ok = WriteWav(dir, LEVEL_UP_SOUND_ID, LevelUp()) && ok;
    return ok;
}
