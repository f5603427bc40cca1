#include "song_writing.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

constexpr std::uint8_t EFFECT_ARPEGGIO = 0x0;
constexpr std::uint8_t EFFECT_TONE_PORTAMENTO = 0x3;
constexpr std::uint8_t EFFECT_VIBRATO = 0x4;
constexpr std::uint8_t EFFECT_SET_PANNING = 0x8;
constexpr std::uint8_t VOLUME_COLUMN_SET = 0x10;
constexpr int MAX_NOTE = 96;

std::vector<std::string_view> Tokens(std::string_view text) {
    std::vector<std::string_view> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && text[i] == ' ') ++i;
        const std::size_t start = i;
        while (i < text.size() && text[i] != ' ') ++i;
        if (i > start) tokens.push_back(text.substr(start, i - start));
    }
    return tokens;
}

std::uint8_t Clamped(int note) { return static_cast<std::uint8_t>(std::clamp(note, 1, MAX_NOTE)); }

// Starts a note with the part's instrument, volume and panning.
void Strike(XmPattern& pattern, int row, const Part& part, int note, int volume) {
    if (row < 0 || row >= pattern.rows) return;
    XmCell& cell = pattern.At(row, part.channel);
    cell.note = Clamped(note + part.transpose);
    cell.instrument = static_cast<std::uint8_t>(part.instrument);
    cell.volume = static_cast<std::uint8_t>(VOLUME_COLUMN_SET + std::clamp(volume, 0, 64));
    cell.effect = EFFECT_SET_PANNING;
    cell.parameter = static_cast<std::uint8_t>(part.panning);
}

void KeyOff(XmPattern& pattern, int row, const Part& part) {
    if (row < 0 || row >= pattern.rows) return;
    pattern.At(row, part.channel) = XmCell{XM_KEY_OFF, 0, 0, 0, 0};
}

int ChordTone(const Chord& chord, char degree) {
    const int root = NoteNumber(chord.root);
    const int third = chord.minor ? 3 : 4;
    switch (degree) {
        case '1': return root;
        case '3': return root + third;
        case '5': return root + 7;
        case '8': return root + 12;
        case '0': return root + 12 + third;
        default: return 0;
    }
}

}  // namespace

int NoteNumber(std::string_view text) {
    static constexpr int SEMITONES[7] = {9, 11, 0, 2, 4, 5, 7};  // A B C D E F G
    const int letter = std::toupper(static_cast<unsigned char>(text[0])) - 'A';
    int semitone = SEMITONES[letter];
    std::size_t i = 1;
    if (text[i] == '#') {
        ++semitone;
        ++i;
    } else if (text[i] == 'b') {
        --semitone;
        ++i;
    }
    const int octave = text[i] - '0';
    return octave * 12 + semitone + 1;
}

void Effect(XmPattern& pattern, int row, int channel, std::uint8_t effect, std::uint8_t parameter) {
    if (row < 0 || row >= pattern.rows) return;
    XmCell& cell = pattern.At(row, channel);
    if (cell.effect != 0 || cell.parameter != 0) return;
    cell.effect = effect;
    cell.parameter = parameter;
}

void Line(XmPattern& pattern, int row, int stepRows, const Part& part, std::string_view text) {
    constexpr std::uint8_t DEFAULT_VIBRATO = 0x46;
    const std::uint8_t vibrato = part.vibrato != 0 ? part.vibrato : DEFAULT_VIBRATO;
    bool sounding = false;
    bool singing = false;
    int heldRows = 0;
    for (std::string_view token : Tokens(text)) {
        if (token == "-") {
            for (int r = 0; r < stepRows; ++r) {
                ++heldRows;
                if (sounding && singing && heldRows >= part.vibratoDelay) {
                    Effect(pattern, row + r, part.channel, EFFECT_VIBRATO, vibrato);
                }
            }
        } else if (token == "^") {
            KeyOff(pattern, row, part);
            sounding = false;
        } else if (token != ".") {
            const bool glide = token.back() == '>';
            const bool sing = token.back() == '~';
            const int note = NoteNumber(token);
            if (row >= pattern.rows) break;
            if (glide && sounding) {
                XmCell& cell = pattern.At(row, part.channel);
                cell.note = Clamped(note + part.transpose);
                cell.effect = EFFECT_TONE_PORTAMENTO;
                cell.parameter = part.portamento;
                for (int r = 1; r < stepRows; ++r) {
                    Effect(pattern, row + r, part.channel, EFFECT_TONE_PORTAMENTO, 0);
                }
            } else {
                Strike(pattern, row, part, note, part.volume);
            }
            sounding = true;
            singing = sing || part.vibrato != 0;
            heldRows = 0;
            for (int r = 1; r < stepRows; ++r) {
                ++heldRows;
                if (singing && heldRows >= part.vibratoDelay) {
                    Effect(pattern, row + r, part.channel, EFFECT_VIBRATO, vibrato);
                }
            }
        }
        row += stepRows;
    }
}

void Bars(XmPattern& pattern, int stepRows, int barRows, const Part& part,
          const std::vector<std::string_view>& bars, int delayRows) {
    std::string line;
    for (std::string_view bar : bars) {
        if (static_cast<int>(Tokens(bar).size()) * stepRows != barRows) {
            throw std::logic_error("a bar that does not fill its rows: " + std::string(bar));
        }
        line.append(bar).append(" ");
    }
    Line(pattern, delayRows, stepRows, part, line);
}

void Arpeggio(XmPattern& pattern, int row, int rows, int strikeRows, const Part& part,
              const std::vector<Chord>& chords) {
    for (const Chord& chord : chords) {
        const std::uint8_t spread = chord.minor ? 0x37 : 0x47;
        for (int r = 0; r < rows; ++r) {
            if (r % strikeRows == 0) {
                Strike(pattern, row + r, part, NoteNumber(chord.root), part.volume);
                pattern.At(row + r, part.channel).effect = EFFECT_ARPEGGIO;
                pattern.At(row + r, part.channel).parameter = spread;
            } else {
                Effect(pattern, row + r, part.channel, EFFECT_ARPEGGIO, spread);
            }
        }
        row += rows;
    }
}

void Pad(XmPattern& pattern, int row, int rows, const Part (&parts)[3],
         const std::vector<Chord>& chords) {
    int held[3] = {0, 0, 0};
    for (const Chord& chord : chords) {
        // The chord's three tones placed nearest to what each voice holds (or to middle C).
        int tones[3] = {ChordTone(chord, '1'), ChordTone(chord, '3'), ChordTone(chord, '5')};
        for (int& tone : tones) {
            while (tone < NoteNumber("E3")) tone += 12;
            while (tone > NoteNumber("D#4")) tone -= 12;
        }
        std::sort(tones, tones + 3);
        for (int v = 0; v < 3; ++v) {
            if (held[v] != tones[v]) Strike(pattern, row, parts[v], tones[v], parts[v].volume);
            held[v] = tones[v];
        }
        row += rows;
    }
}

void Figure(XmPattern& pattern, int row, int rows, int stepRows, const Part& part,
            const std::vector<Chord>& chords, std::string_view figure) {
    const std::vector<std::string_view> tokens = Tokens(figure);
    for (const Chord& chord : chords) {
        int r = row;
        for (std::size_t i = 0; r < row + rows; ++i, r += stepRows) {
            const std::string_view token = tokens[i % tokens.size()];
            if (token == "^") {
                KeyOff(pattern, r, part);
            } else if (token != "-" && token != ".") {
                Strike(pattern, r, part, ChordTone(chord, token[0]), part.volume);
            }
        }
        row += rows;
    }
}

void Drums(XmPattern& pattern, int row, const Part& part, const std::vector<DrumKit>& kit,
           std::string_view hits) {
    for (char hit : hits) {
        for (const DrumKit& drum : kit) {
            if (std::tolower(static_cast<unsigned char>(hit)) != drum.letter) continue;
            Part drumPart = part;
            drumPart.instrument = drum.instrument;
            const bool accent = std::isupper(static_cast<unsigned char>(hit)) != 0;
            Strike(pattern, row, drumPart, NoteNumber("C5"), accent ? part.volume + 12 : part.volume);
        }
        ++row;
    }
}
