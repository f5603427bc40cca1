#include "game_fixture.h"
#include "gfx/fade.h"
#include "platform/clock_testing.h"
#include "screens/play_screen.h"

namespace {

using Well_ = GameTest;

int BlocksIn(int row) {
    int n = 0;
    for (std::uint8_t v : game.well[row]) n += v != 0;
    return n;
}

TEST_F(Well_, ResetWithoutGarbageLeavesOnlyTheFloor) {
    settings.startLevel = 4;
    SetManualClock(4242);
    PlayerKeys().dropLatch = 1;
    game.gameOverEntry = 1;
    BeginNewGame();
    for (int row = 0; row < WELL_ROWS; ++row) {
        EXPECT_EQ(BlocksIn(row), row == FLOOR_ROW ? WELL_COLUMNS : 0) << "row " << row;
    }
    EXPECT_EQ(game.level, 4);
    EXPECT_EQ(game.nextMask, ENTERING_MASKS[game.nextType - 1]);
    EXPECT_EQ(game.lastFallTime, 4242);
    EXPECT_EQ(fade.LastFadeStep, 4242);
    // Left for the latch and the game-over screen to clear.
    EXPECT_EQ(PlayerKeys().dropLatch, 1);
    EXPECT_EQ(game.gameOverEntry, 1);
}

TEST_F(Well_, ResetDrawsThePiecesThenTheGarbageBottomUp) {
    settings.garbageRows = 16;
    SeedRandom(777);
    NewGame();

    SeedRandom(777);
    EXPECT_EQ(game.currentType, RandomIndex(PIECE_DRAW));
    EXPECT_EQ(game.nextType, RandomIndex(PIECE_DRAW));
    int filled = 0;
    for (int row = LAST_VISIBLE_ROW; row >= 5; --row) {
        for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) {
            const int v = NextRandom() * 14 / 32768 + 1;
            ASSERT_EQ(game.well[row][c], v <= 7 ? v : 0) << "row " << row << " column " << c;
            filled += v <= 7;
        }
    }
    EXPECT_GT(filled, 40);
    EXPECT_LT(filled, 120);
    // Nothing in the entry rows, the margins, the floor or below it.
    for (int row = 0; row < 5; ++row) EXPECT_EQ(BlocksIn(row), 0) << "row " << row;
    for (int row = 0; row < WELL_ROWS; ++row) {
        for (int c : {0, 1, 12, 13}) EXPECT_EQ(game.well[row][c], row == FLOOR_ROW ? 1 : 0);
    }
    EXPECT_EQ(BlocksIn(FLOOR_ROW), WELL_COLUMNS);
    EXPECT_EQ(BlocksIn(22), 0);
}

TEST_F(Well_, GarbageNeverRisesAboveSixteenRows) {
    settings.garbageRows = 40;
    NewGame();
    for (int row = 0; row < 5; ++row) EXPECT_EQ(BlocksIn(row), 0) << "row " << row;
}

TEST_F(Well_, DrawingThePieceLeavesTheWellAsItWas) {
    settings.garbageRows = 10;
    NewGame();
    Place(5, 4, 9);
    const Well before = game.well;
    SaveUnderPiece(game);
    StampPiece(game);
    EXPECT_NE(game.well, before);
    EXPECT_EQ(game.well[10][5], 5);
    EXPECT_EQ(game.well[11][4], 5);
    RestoreUnderPiece(game);
    EXPECT_EQ(game.well, before);
}

TEST_F(Well_, RemovedRowPullsTheRowsAboveDownAndCopiesTheHiddenRow) {
    EmptyWellWith(1, 5, 0);
    game.well[0][4] = 3;
    game.well[1][5] = 2;
    game.well[19][9] = 6;
    FillRow(20);
    EXPECT_EQ(ClearFullRows(game), 1);
    EXPECT_EQ(game.well[0][4], 3);  // row 0 keeps its cells
    EXPECT_EQ(game.well[1][4], 3);  // and row 1 becomes a copy of it
    EXPECT_EQ(game.well[2][5], 2);
    EXPECT_EQ(game.well[20][9], 6);
    EXPECT_EQ(BlocksIn(20), 1);
    EXPECT_EQ(BlocksIn(FLOOR_ROW), WELL_COLUMNS);
    EXPECT_EQ(game.lines, 1);
}

TEST_F(Well_, OnePassFindsFullRowsApartAndTogether) {
    EmptyWellWith(1, 5, 0);
    FillRow(12);
    FillRow(18);
    FillRow(19, {4});
    FillRow(20);
    game.well[17][2] = 5;
    EXPECT_EQ(ClearFullRows(game), 3);
    EXPECT_EQ(game.well[20][2], 1);
    EXPECT_EQ(game.well[20][4], 0);  // the row with the hole is now the bottom one
    EXPECT_EQ(game.well[19][2], 5);
    EXPECT_EQ(BlocksIn(19), 1);
    EXPECT_EQ(BlocksIn(18), 0);
}

}  // namespace
