#include "game/well.h"

#include "game/game_state.h"
#include "game/gravity_and_levels.h"

namespace {

std::uint8_t& WellUnderBox(GameState& game, int r, int c) {
    return game.well[game.pieceY + r][game.pieceX + c];
}
std::uint8_t WellUnderBox(const GameState& game, int r, int c) {
    return game.well[game.pieceY + r][game.pieceX + c];
}

}  // namespace

void StampPiece(GameState& game) {
    ForEachBlock(game.currentMask,
                 [&game](int r, int c, std::uint8_t value) { WellUnderBox(game, r, c) = value; });
}

void SaveUnderPiece(GameState& game) {
    for (int r = 0; r < MASK_SIZE; ++r) {
        for (int c = 0; c < MASK_SIZE; ++c) game.underPiece[r][c] = WellUnderBox(game, r, c);
    }
}

void RestoreUnderPiece(GameState& game) {
    for (int r = 0; r < MASK_SIZE; ++r) {
        for (int c = 0; c < MASK_SIZE; ++c) WellUnderBox(game, r, c) = game.underPiece[r][c];
    }
}

int DropDistance(const Well& well, const PieceMask& mask, int x, int y) {
    int distance = NO_DROP;
    ForEachBlock(mask, [&](int r, int c, std::uint8_t) {
        int run = 0;
        for (int row = y + r + 1; row < FLOOR_ROW && well[row][x + c] == 0; ++row) ++run;
        if (distance == NO_DROP || run < distance) distance = run;
    });
    return distance;
}

bool IsBlockedBelow(const GameState& game) {
    bool blocked = false;
    ForEachBlock(game.currentMask, [&](int r, int c, std::uint8_t) {
        blocked = blocked || WellUnderBox(game, r + 1, c) != 0;
    });
    return blocked;
}

int ClearFullRows(GameState& game) {
    int removed = 0;
    for (int row = FIRST_VISIBLE_ROW; row <= LAST_VISIBLE_ROW; ++row) {
        if (RowIsFull(game.well, row)) {
            RemoveRow(game, row);
            ++removed;
        }
    }
    return removed;
}

bool RowIsFull(const Well& well, int row) {
    for (int column = FIRST_PLAY_COLUMN; column <= LAST_PLAY_COLUMN; ++column) {
        if (well[row][column] == 0) return false;
    }
    return true;
}

void CloseRow(Well& well, int row) {
    for (int k = row; k >= FIRST_VISIBLE_ROW; --k) {
        for (int column = FIRST_PLAY_COLUMN; column <= LAST_PLAY_COLUMN; ++column) {
            well[k][column] = well[k - 1][column];
        }
    }
}

void RemoveRow(GameState& game, int row) {
    CloseRow(game.well, row);
    ++game.lines;
    ApplyLevelUp(game);
}
