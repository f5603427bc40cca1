#include "game_fixture.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/clock_testing.h"
#include "screens/play_screen.h"

namespace {

using Scoring = GameTest;

// Frames from one downward step of an untouched piece to the next.
int FramesBetweenFalls() {
    const std::uint8_t start = game.pieceY;
    int frames = 0;
    while (game.pieceY == start && frames < 1000) {
        ApplyGravity(game, scripted);
        AdvanceManualClock(FRAME_MS);
        ++frames;
    }
    return frames;
}

TEST_F(Scoring, GravityPeriodFollowsTheLevel) {
    const std::pair<std::uint8_t, int> periods[] = {{1, 52}, {10, 7}, {11, 2}, {12, 1}, {21, 1}};
    for (auto [level, frames] : periods) {
        settings.startLevel = level;
        EmptyWellWith(6, 5, 0);
        FramesBetweenFalls();  // the first step comes up to one period late
        EXPECT_EQ(FramesBetweenFalls(), frames) << "level " << int(level);
        EXPECT_EQ(FramesBetweenFalls(), frames) << "level " << int(level);
    }
    EXPECT_EQ(GravityInterval(game), 1030 - 2000);
    EXPECT_EQ(game.score, 3u);
}

TEST_F(Scoring, ALongPauseDropsOneRowAndRestartsTheTimer) {
    // A pause stops the frames, not the clock: the first frame after it moves one row only.
    EmptyWellWith(6, 5, 0);
    AdvanceManualClock(10000);
    Gravity();
    EXPECT_EQ(game.pieceY, 1);
    AdvanceManualClock(FRAME_MS);
    Gravity();
    EXPECT_EQ(game.pieceY, 1);
    EXPECT_EQ(FramesBetweenFalls(), 52);  // the level-1 period again, counted from the step
}

TEST_F(Scoring, RestingPieceDoesNotFallOrScore) {
    EmptyWellWith(6, 5, 18);
    AdvanceManualClock(5000);
    Gravity();
    EXPECT_EQ(game.pieceY, 18);
    EXPECT_EQ(game.score, 0u);
    EXPECT_EQ(game.lastFallTime, NowMs());
}

TEST_F(Scoring, RowsScoreByTheirCountTheLevelAndTheGarbage) {
    // One row at level 3 with five garbage rows.
    settings.startLevel = 3;
    settings.garbageRows = 5;
    NewGame();
    for (int row = 5; row <= 20; ++row) FillRow(row, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    FillRow(20, {6, 7});
    Place(1, 5, 18);  // the square's lower row fills the hole
    EXPECT_EQ(Lock(), LockResult::Locked);
    EXPECT_EQ(game.lines, 1);
    EXPECT_EQ(game.score, 615u);

    // Four rows at level 1 without garbage: the upright bar in the last column.
    settings.startLevel = 1;
    EmptyWellWith(BAR_PIECE, 9, 17);
    TurnClockwise(game.currentMask, BAR_PIECE);
    for (int row = 17; row <= 20; ++row) FillRow(row, {11});
    EXPECT_EQ(Lock(), LockResult::Locked);
    EXPECT_EQ(game.lines, 4);
    EXPECT_EQ(game.score, 2000u);

    for (int rows : {0, 5, 6}) EXPECT_EQ(LineScore(game, rows), 0u) << rows << " rows";
    EXPECT_EQ(LineScore(game, 2), 500u);
    EXPECT_EQ(LineScore(game, 3), 800u);
}

TEST_F(Scoring, FiveRowsAtOnceCountButScoreNothing) {
    EmptyWellWith(BAR_PIECE, 9, 17);
    TurnClockwise(game.currentMask, BAR_PIECE);
    FillRow(16);  // a garbage row that came out full
    for (int row = 17; row <= 20; ++row) FillRow(row, {11});
    EXPECT_EQ(Lock(), LockResult::Locked);
    EXPECT_EQ(game.lines, 5);
    EXPECT_EQ(game.score, 0u);
}

TEST_F(Scoring, LandingThatCrossesTenLinesScoresAtTheNewLevel) {
    static char pictures[10];
    Texture* const saved = fade.NextBackground;
    fade.NextBackground = reinterpret_cast<Texture*>(&pictures[0]);
    EmptyWellWith(SQUARE_PIECE, 5, 18);
    game.lines = 9;
    fade.FadeActive = 0;
    FillRow(19, {6, 7});
    FillRow(20, {6, 7});
    EXPECT_EQ(Lock(), LockResult::Locked);
    ReactToGameEvents(TakeGameEvents(game));
    EXPECT_EQ(game.lines, 11);
    EXPECT_EQ(game.level, 2);
    EXPECT_EQ(game.score, 1000u);  // (500 + 0) x 2
    EXPECT_EQ(fade.FadeActive, 1);
    // At 10 lines the picture named at game start comes in.
    EXPECT_EQ(fade.NextBackground, reinterpret_cast<Texture*>(&pictures[0]));
    fade.NextBackground = saved;
    fade.FadeActive = 0;
}

TEST_F(Scoring, LevelUpsAndTheirPicturesAcrossTheLinesCounter) {
    static char pictures[10];
    Texture* saved[10];
    for (int i = 0; i < 10; ++i) {
        saved[i] = textures.LevelBackground[i];
        textures.LevelBackground[i] = reinterpret_cast<Texture*>(&pictures[i]);
    }
    Texture* const savedNext = fade.NextBackground;
    EmptyWellWith(SQUARE_PIECE, 5, 0);
    fade.NextBackground = textures.LevelBackground[1];
    // Each removal of a row counts one line; the level rises at 10, 20, ... 110.
    for (int line = 1; line <= 300; ++line) {
        FillRow(20);
        RemoveRow(game, 20);
        ReactToGameEvents(TakeGameEvents(game));
        if (line % 10 == 0 && line >= 20 && line <= 90) {
            EXPECT_EQ(fade.NextBackground, textures.LevelBackground[line / 10]) << line << " lines";
        }
        if (line == 110) {
            EXPECT_EQ(fade.NextBackground, textures.LevelBackground[9]);
        }
        if (line == 120) {
            EXPECT_EQ(game.level, 12);
        }
    }
    // 256 wrapped the counter to 0; 266, 276, 286 and 296 count as 10 to 40 again.
    EXPECT_EQ(game.lines, 300 - 256);
    EXPECT_EQ(game.level, 1 + 11 + 4);
    for (int i = 0; i < 10; ++i) textures.LevelBackground[i] = saved[i];
    fade.NextBackground = savedNext;
    fade.FadeActive = 0;
}

}  // namespace
