#pragma once

#include <array>
#include <cstdint>

#include "game/font_label.h"

// The well: 23 rows by 14 columns of cells, 0 empty or the colour 1..7 of the piece that left
// the block there. Only columns 2..11 are played; the margins let the 4 x 4 piece box stand
// partly outside them. Row 0 is hidden above the visible rows 1..20, row 21 is the floor that
// stops falling pieces, and row 22 gives the box room below it.
constexpr int WELL_ROWS = 23;
constexpr int WELL_COLUMNS = 14;
constexpr int HIDDEN_ROW = 0;
constexpr int FIRST_VISIBLE_ROW = 1;
constexpr int LAST_VISIBLE_ROW = 20;
constexpr int FLOOR_ROW = 21;
constexpr int FIRST_PLAY_COLUMN = 2;
constexpr int LAST_PLAY_COLUMN = 11;
constexpr std::uint8_t FLOOR_CELL = 1;
using Well = std::array<std::array<std::uint8_t, WELL_COLUMNS>, WELL_ROWS>;

// A piece in its 4 x 4 box, row 0 at the top: cells hold 0 or the piece's type 1..7, which is
// also its colour and its tile.
constexpr int MASK_SIZE = 4;
using PieceMask = std::array<std::array<std::uint8_t, MASK_SIZE>, MASK_SIZE>;

// Piece types: 1 square, 2 and 3 the two L shapes, 4 and 5 the two skews, 6 the T, 7 the bar.
constexpr std::uint8_t SQUARE_PIECE = 1;
constexpr std::uint8_t BAR_PIECE = 7;
constexpr int PIECE_TYPES = 7;
constexpr int PIECE_DRAW = PIECE_TYPES + 1;  // RandomIndex(PIECE_DRAW) gives a type 1..7
// The seven masks as the pieces enter the well, indexed by type - 1.
extern const std::array<PieceMask, PIECE_TYPES> ENTERING_MASKS;

// Where a new piece's box enters: columns 5..8, rows 0..3.
constexpr std::uint8_t ENTRY_COLUMN = 5;
constexpr std::uint8_t ENTRY_ROW = 0;
// The box's column runs 0..10 and its row 0..19, which keeps all 16 box cells in the well.
constexpr std::uint8_t LAST_BOX_ROW = 19;

constexpr std::uint32_t START_FALL_INTERVAL = 1030;  // ms at level 1
constexpr int NAME_LENGTH = 26;
constexpr std::uint8_t NO_ENTRY_ROW = 8;

// The one record of the game in progress.
struct GameState {
    Well well{};
    std::uint8_t currentType = 0;  // 1..7
    std::uint8_t nextType = 0;     // 1..7
    PieceMask currentMask{};       // the falling piece as it is turned now
    PieceMask nextMask{};          // always in its entering orientation
    std::uint8_t pieceX = 0;       // well column of the box's column 0
    std::uint8_t pieceY = 0;       // well row of the box's row 0
    PieceMask underPiece{};        // well cells under the box while the piece is drawn
    std::uint8_t level = 0;
    std::uint8_t lines = 0;  // wraps after 255, and the level-up counts come round again
    std::uint32_t score = 0;
    std::uint32_t fallInterval = 0;  // gravity interval at level 1, ms
    std::int64_t lastFallTime = 0;   // NowMs of the last downward step
    std::uint8_t dropLatch = 0;      // 1 while the hard-drop key is held after a hard drop
    std::uint8_t gameOverEntry = 0;  // set at game over, cleared by the game-over screen
    std::uint8_t entryAllowed = 0;   // 1 until this game's score has been placed in the table
    std::uint8_t entryActive = 0;    // a name is being typed
    std::uint8_t entryRow = 0;       // table row being named, 0..7; NO_ENTRY_ROW when none
    std::uint8_t entryCursor = 0;    // characters typed so far, 0..26
    std::array<std::uint8_t, NAME_LENGTH> entryName{};  // in the font's code
};
extern GameState game;

// Starts a new game: the well with its floor and garbage rows, the first two pieces, level,
// lines and score, the name entry, and the gravity timer. Leaves the key latches,
// gameOverEntry, the backgrounds and the high-score table alone.
void ResetGame();

// Puts the game's state (the record, the key-repeat latches and the events not yet taken) back
// to how the program starts, all zero before the first ResetGame; for tests.
void ResetGameStartupState();

// Write all 16 cells of currentMask or nextMask with the type's entering mask; a type outside
// 1..7 leaves the mask as it is.
void SetCurrentShape(std::uint8_t type);
void SetNextShape(std::uint8_t type);

// Side of the block that turns: the bar turns its whole box, the other shapes the 3 x 3 block
// in its top-left corner.
constexpr int TurningBlockSize(std::uint8_t type) {
    return type == BAR_PIECE ? MASK_SIZE : MASK_SIZE - 1;
}

// Turn a mask in place, as seen on screen. The square is left alone, types 2..6 turn their
// 3 x 3 block about its middle cell, the bar turns its whole 4 x 4 box.
void TurnClockwise(PieceMask& mask, std::uint8_t type);
void TurnCounterClockwise(PieceMask& mask, std::uint8_t type);

// Calls f(r, c, value) for every non-empty cell (r, c) of the mask.
template <typename F>
void ForEachBlock(const PieceMask& mask, F f) {
    for (int r = 0; r < MASK_SIZE; ++r) {
        for (int c = 0; c < MASK_SIZE; ++c) {
            if (mask[r][c] != 0) f(r, c, mask[r][c]);
        }
    }
}

// Write the falling piece's blocks into the well, whatever the cells held.
void StampPiece();
// Save and put back the 16 well cells under the piece's box, so the piece can be drawn as if
// locked and the well left exactly as it was.
void SaveUnderPiece();
void RestoreUnderPiece();

// True when some block of the falling piece has a locked cell (or the floor) right below it.
bool IsBlockedBelow();

// Removes every full visible row, top to bottom, and returns how many went. Each removal adds a
// line and may raise the level.
int ClearFullRows();
// Moves rows r-1 .. 0 down by one over row r (row 0 keeps its cells, so row 1 becomes a copy of
// it), counts the line and applies the level-up rule.
void RemoveRow(int row);
