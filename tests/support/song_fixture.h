#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "music/song_render.h"
#include "support/xm_builder.h"

// Small songs built in the tests and played tick by tick or frame by frame through the player.

constexpr std::uint8_t NOTE_C4 = 49;  // cell note of C-4 (transposed note 48)
constexpr std::uint8_t KEY_OFF_NOTE = 97;

// The effect numbers as the cells hold them: 0..9, then A = 10 and on.
constexpr std::uint8_t FX(char letter) {
    return static_cast<std::uint8_t>(letter <= '9' ? letter - '0' : letter - 'A' + 10);
}

// A cell, growing the pattern as needed.
XmCell& CellAt(XmModuleSketch& sketch, int pattern, int row, int channel);

// A looping 16-bit instrument of `length` points (a square wave at full scale), one sample
// for every note.
XmInstrument SquareInstrument(int length = 64, std::uint8_t volume = 64);

// A module of `channels` channels and one pattern of `rows` rows, with the square instrument.
XmModuleSketch SmallModule(int channels, int rows = 16);

// Loads the module from memory through the player (false when it is rejected).
bool LoadSketch(const XmModuleSketch& sketch);

// Runs n ticks the way the block render does: the tick, then the tick count and the row's end.
void PlayTicks(int n);

// Renders `frames` frames of the loaded song and returns where every row began.
std::vector<RowMark> PlayRows(std::uint64_t frames);

// The order positions and rows of the marks, without their frames.
std::vector<std::pair<int, int>> Positions(const std::vector<RowMark>& marks);
