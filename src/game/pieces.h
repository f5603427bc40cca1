#pragma once

#include <array>
#include <cstdint>

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

struct GameState;

// Write all 16 cells of the game's currentMask or nextMask with the type's entering mask; a type
// outside 1..7 leaves the mask as it is.
void SetCurrentShape(GameState& game, std::uint8_t type);
void SetNextShape(GameState& game, std::uint8_t type);

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
