#include "game/pieces.h"

#include "game/game_state.h"

const std::array<PieceMask, PIECE_TYPES> ENTERING_MASKS = {{
    {{{0, 0, 0, 0}, {0, 1, 1, 0}, {0, 1, 1, 0}, {0, 0, 0, 0}}},
    {{{0, 0, 0, 0}, {2, 2, 2, 0}, {0, 0, 2, 0}, {0, 0, 0, 0}}},
    {{{0, 0, 0, 0}, {3, 3, 3, 0}, {3, 0, 0, 0}, {0, 0, 0, 0}}},
    {{{0, 0, 0, 0}, {4, 4, 0, 0}, {0, 4, 4, 0}, {0, 0, 0, 0}}},
    {{{0, 0, 0, 0}, {0, 5, 5, 0}, {5, 5, 0, 0}, {0, 0, 0, 0}}},
    {{{0, 0, 0, 0}, {0, 6, 0, 0}, {6, 6, 6, 0}, {0, 0, 0, 0}}},
    {{{0, 0, 0, 0}, {7, 7, 7, 7}, {0, 0, 0, 0}, {0, 0, 0, 0}}},
}};

namespace {

void SetShape(PieceMask& mask, std::uint8_t type) {
    if (type < 1 || type > PIECE_TYPES) return;
    mask = ENTERING_MASKS[type - 1];
}

void Turn(PieceMask& mask, std::uint8_t type, bool clockwise) {
    if (type == SQUARE_PIECE) return;
    const int last = TurningBlockSize(type) - 1;
    const PieceMask old = mask;
    for (int r = 0; r <= last; ++r) {
        for (int c = 0; c <= last; ++c) {
            mask[r][c] = clockwise ? old[last - c][r] : old[c][last - r];
        }
    }
}

}  // namespace

void SetCurrentShape(GameState& game, std::uint8_t type) { SetShape(game.currentMask, type); }
void SetNextShape(GameState& game, std::uint8_t type) { SetShape(game.nextMask, type); }

void TurnClockwise(PieceMask& mask, std::uint8_t type) { Turn(mask, type, true); }
void TurnCounterClockwise(PieceMask& mask, std::uint8_t type) { Turn(mask, type, false); }
