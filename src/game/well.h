#pragma once

#include <array>
#include <cstdint>

#include "game/pieces.h"

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

// Where a new piece's box enters: columns 5..8, rows 0..3.
constexpr std::uint8_t ENTRY_COLUMN = 5;
constexpr std::uint8_t ENTRY_ROW = 0;
// The box's column runs 0..10 and its row 0..19, which keeps all 16 box cells in the well.
constexpr std::uint8_t LAST_BOX_ROW = 19;

struct GameState;

// Write the game's falling piece's blocks into its well, whatever the cells held.
void StampPiece(GameState& game);
// Save and put back the 16 well cells under the piece's box, so the piece can be drawn as if
// locked and the well left exactly as it was.
void SaveUnderPiece(GameState& game);
void RestoreUnderPiece(GameState& game);

// True when some block of the falling piece has a locked cell (or the floor) right below it.
bool IsBlockedBelow(const GameState& game);

// How many rows a piece with its box at column x, row y can fall straight down before it rests:
// the shortest free run below any of its blocks, the floor ending every run. NO_DROP for a mask
// without blocks. The hard drop takes the piece there, and the ghost piece shows where that is.
constexpr int NO_DROP = -1;
int DropDistance(const Well& well, const PieceMask& mask, int x, int y);

// Whether columns 2..11 of the row are all filled.
bool RowIsFull(const Well& well, int row);
// Moves rows r-1 .. 0 down by one over row r; row 0 keeps its cells, so row 1 becomes a copy of
// it. The margin columns never move.
void CloseRow(Well& well, int row);

// Removes every full visible row, top to bottom, and returns how many went. Each removal adds a
// line and may raise the level.
int ClearFullRows(GameState& game);
// Closes row r in the game's well, counts the line and applies the level-up rule.
void RemoveRow(GameState& game, int row);
