#pragma once

#include <string_view>
#include <vector>

#include "xm_writer.h"

// Helpers that write music into patterns from short texts.

// How one channel plays: its instrument (counted from 1), volume 0..64 and panning 0..255, and
// what it does while a note is held.
struct Part {
    int channel = 0;
    int instrument = 1;
    int volume = 48;
    int panning = 128;
    int transpose = 0;           // semitones
    std::uint8_t vibrato = 0;    // 4xy on held rows, 0 none
    int vibratoDelay = 2;        // rows of a held note before the vibrato starts
    std::uint8_t portamento = 0x10;  // 3xx speed of a glide
};

// A chord: its root as a note text ("A3") and its kind.
struct Chord {
    std::string_view root;
    bool minor = false;
};

// The cell note (1..96) of a text like "C4", "F#3" or "Bb5".
int NoteNumber(std::string_view text);

// One token per step of `stepRows` rows, starting at `row`: a note ("C5", "F#4"), "-" held,
// "^" key off, "." nothing. A note ending in "~" sings with vibrato while held; one ending in
// ">" glides there from the last note.
void Line(XmPattern& pattern, int row, int stepRows, const Part& part, std::string_view text);

// Bars of `barRows` rows, one text each, played as one line (a note may be held or glided
// into across a bar line). A bar whose tokens do not fill it exactly stops the generator.
void Bars(XmPattern& pattern, int stepRows, int barRows, const Part& part,
          const std::vector<std::string_view>& bars, int delayRows = 0);

// Each chord for `rows` rows as the root with an arpeggio of its third and fifth, struck
// again every `strikeRows` rows.
void Arpeggio(XmPattern& pattern, int row, int rows, int strikeRows, const Part& part,
              const std::vector<Chord>& chords);

// Each chord for `rows` rows on three parts at once, the tones that move least, held across
// chords where a tone stays.
void Pad(XmPattern& pattern, int row, int rows, const Part (&parts)[3],
         const std::vector<Chord>& chords);

// A figure over each chord's tones, one token per step: "1" root, "3" third, "5" fifth, "8"
// octave, "0" octave above the third, "-" held, "^" key off, "." nothing.
void Figure(XmPattern& pattern, int row, int rows, int stepRows, const Part& part,
            const std::vector<Chord>& chords, std::string_view figure);

// One character per row: a drum's letter from `kit` (upper case louder), "." nothing.
struct DrumKit {
    char letter;
    int instrument;
};
void Drums(XmPattern& pattern, int row, const Part& part, const std::vector<DrumKit>& kit,
           std::string_view hits);

// Effect and parameter on one cell, when it has none.
void Effect(XmPattern& pattern, int row, int channel, std::uint8_t effect, std::uint8_t parameter);
