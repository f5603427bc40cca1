#include "game_fixture.h"

namespace {

using Pieces = GameTest;

TEST_F(Pieces, EveryEnteringMaskLeavesItsOuterRowsEmptyAndCoversTheEntryCell) {
    for (std::uint8_t type = 1; type <= PIECE_TYPES; ++type) {
        const PieceMask& mask = ENTERING_MASKS[type - 1];
        int blocks = 0;
        for (int r = 0; r < MASK_SIZE; ++r) {
            for (int c = 0; c < MASK_SIZE; ++c) {
                if (mask[r][c] == 0) continue;
                EXPECT_EQ(mask[r][c], type);
                EXPECT_TRUE(r == 1 || r == 2) << "type " << int(type);
                ++blocks;
            }
        }
        EXPECT_EQ(blocks, 4);
        // Box column 1 of row 1 is well cell (1, 6) when the piece enters.
        EXPECT_NE(mask[1][1], 0) << "type " << int(type);
    }
}

TEST_F(Pieces, TurnsComeBackToTheEnteringMask) {
    for (std::uint8_t type = 1; type <= PIECE_TYPES; ++type) {
        PieceMask mask = ENTERING_MASKS[type - 1];
        for (int i = 0; i < 4; ++i) TurnClockwise(mask, type);
        EXPECT_EQ(mask, ENTERING_MASKS[type - 1]) << "type " << int(type);
        TurnClockwise(mask, type);
        TurnCounterClockwise(mask, type);
        EXPECT_EQ(mask, ENTERING_MASKS[type - 1]) << "type " << int(type);
        for (int i = 0; i < 4; ++i) TurnCounterClockwise(mask, type);
        EXPECT_EQ(mask, ENTERING_MASKS[type - 1]) << "type " << int(type);
    }
}

TEST_F(Pieces, TurnsGoTheWayTheScreenShows) {
    // The T with its stem up, turned clockwise, points its stem right.
    PieceMask t = ENTERING_MASKS[5];
    TurnClockwise(t, 6);
    const PieceMask tRight = {{{6, 0, 0, 0}, {6, 6, 0, 0}, {6, 0, 0, 0}, {0, 0, 0, 0}}};
    EXPECT_EQ(t, tRight);

    // The three-in-a-row with its foot below the right end, turned counter-clockwise, stands
    // with the foot at the top right.
    PieceMask l = ENTERING_MASKS[1];
    TurnCounterClockwise(l, 2);
    const PieceMask lUp = {{{0, 2, 2, 0}, {0, 2, 0, 0}, {0, 2, 0, 0}, {0, 0, 0, 0}}};
    EXPECT_EQ(l, lUp);

    // The bar goes from row 1 to column 2, row 2, column 1 and back.
    PieceMask bar = ENTERING_MASKS[6];
    const int expectedColumn[] = {2, -1, 1, -1};
    const int expectedRow[] = {-1, 2, -1, 1};
    for (int i = 0; i < 4; ++i) {
        TurnClockwise(bar, BAR_PIECE);
        for (int k = 0; k < MASK_SIZE; ++k) {
            const std::uint8_t cell =
                expectedColumn[i] >= 0 ? bar[k][expectedColumn[i]] : bar[expectedRow[i]][k];
            EXPECT_EQ(cell, 7) << "turn " << i;
        }
    }

    PieceMask square = ENTERING_MASKS[0];
    TurnClockwise(square, SQUARE_PIECE);
    EXPECT_EQ(square, ENTERING_MASKS[0]);
}

TEST_F(Pieces, RandomIndexGivesEveryTypeAndNothingElse) {
    int seen[8] = {};
    for (int i = 0; i < 7000; ++i) {
        const std::uint8_t v = RandomIndex(PIECE_DRAW);
        ASSERT_GE(v, 1);
        ASSERT_LE(v, 7);
        ++seen[v];
    }
    for (int type = 1; type <= 7; ++type) EXPECT_GT(seen[type], 700) << "type " << type;
}

}  // namespace
