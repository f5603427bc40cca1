#include <tuple>
#include <vector>

#include "app/shell.h"
#include "game/game_events.h"
#include "game_fixture.h"
#include "gfx/fade.h"
#include "platform/clock_testing.h"
#include "screens/play_screen.h"

namespace {

using PieceControl = GameTest;

TEST_F(PieceControl, TurnsAreRefusedByTheSquareTheBlockAndTheEdges) {
    EmptyWellWith(SQUARE_PIECE, 5, 5);
    RotatePiece(game, SQUARE_PIECE, 0);
    EXPECT_EQ(game.currentMask, ENTERING_MASKS[0]);

    // A locked cell in the block's corner, which neither orientation of the L touches.
    Place(2, 5, 5);
    game.well[5][5] = 4;
    RotatePiece(game, 2, 0);
    EXPECT_EQ(game.currentMask, ENTERING_MASKS[1]);
    game.well[5][5] = 0;
    RotatePiece(game, 2, 0);
    EXPECT_NE(game.currentMask, ENTERING_MASKS[1]);

    // The floor inside the block refuses it too.
    Place(2, 5, 19);
    RotatePiece(game, 2, 0);
    EXPECT_EQ(game.currentMask, ENTERING_MASKS[1]);

    // Through the action: no turn with the box at columns 0, 1 and 10, nor the bar at 9.
    game.play.rotateRepeat = 1;
    Hold(PlayAction::Turn);
    const std::pair<std::uint8_t, std::uint8_t> refused[] = {{3, 0}, {3, 1}, {4, 10}, {7, 9}};
    for (auto [type, x] : refused) {
        Place(type, x, 5);
        Act();
        EXPECT_EQ(game.currentMask, ENTERING_MASKS[type - 1])
            << "type " << int(type) << " at " << int(x);
    }
    Place(7, 8, 5);
    Act();
    EXPECT_NE(game.currentMask, ENTERING_MASKS[6]);
}

TEST_F(PieceControl, HeldKeyActsAtOnceThenEveryNFramesAndANewPressWaits) {
    settings.rotateRepeat = 6;
    EmptyWellWith(6, 5, 5);
    PieceMask previous = game.currentMask;
    std::vector<int> turnedAt;
    auto frame = [&](int i) {
        Act();
        if (game.currentMask != previous) turnedAt.push_back(i);
        previous = game.currentMask;
    };
    Hold(PlayAction::Turn);
    for (int i = 0; i < 13; ++i) frame(i);
    EXPECT_EQ(turnedAt, (std::vector<int>{0, 6, 12}));

    // Released after the turn of frame 12 and pressed again two frames later: it waits for
    // the sixth frame since that turn.
    turnedAt.clear();
    Release(PlayAction::Turn);
    frame(13);
    Hold(PlayAction::Turn);
    for (int i = 14; i < 20; ++i) frame(i);
    EXPECT_EQ(turnedAt, (std::vector<int>{18}));
}

TEST_F(PieceControl, ShiftsStopAtThePlayableColumns) {
    settings.moveRepeat = 1;
    // The L fills box columns 0..2, the square 1..2, the bar all four.
    const std::tuple<std::uint8_t, int, int> limits[] = {{2, 2, 9}, {1, 1, 9}, {7, 2, 8}};
    for (auto [type, leftmost, rightmost] : limits) {
        EmptyWellWith(type, 5, 5);
        Hold(PlayAction::ShiftLeft);
        for (int i = 0; i < 12; ++i) Act();
        EXPECT_EQ(game.pieceX, leftmost) << "type " << int(type);
        Release(PlayAction::ShiftLeft);
        Hold(PlayAction::ShiftRight);
        for (int i = 0; i < 12; ++i) Act();
        EXPECT_EQ(game.pieceX, rightmost) << "type " << int(type);
        Release(PlayAction::ShiftRight);
    }
    // A locked cell beside the piece stops it.
    EmptyWellWith(2, 5, 5);
    game.well[6][4] = 1;  // left of the L's row at well row 6
    Hold(PlayAction::ShiftLeft);
    Act();
    EXPECT_EQ(game.pieceX, 5);
}

TEST_F(PieceControl, LeftAndRightTogetherMoveLeftThenRight) {
    EmptyWellWith(2, 2, 5);
    Hold(PlayAction::ShiftLeft);
    Hold(PlayAction::ShiftRight);
    Act();
    EXPECT_EQ(game.pieceX, 3);  // left is refused at the edge, right then moves
}

TEST_F(PieceControl, HardDropFallsEighteenRowsAndLocksWithoutTheSlide) {
    EmptyWellWith(2, 5, 0);
    Hold(PlayAction::HardDrop);
    Act();
    EXPECT_EQ(game.pieceY, 18);
    EXPECT_EQ(game.score, 198u);
    EXPECT_EQ(game.lastFallTime, NowMs());
    Hold(PlayAction::ShiftLeft);
    EXPECT_EQ(Lock(), LockResult::Locked);
    EXPECT_EQ(game.well[19][5], 2);
    EXPECT_EQ(game.well[20][7], 2);

    // Down still held: no second drop, and the next piece locks where it lands without the
    // slide although Left is held.
    Release(PlayAction::ShiftLeft);
    Act();
    EXPECT_EQ(game.pieceY, 0);
    EXPECT_EQ(game.score, 198u);
    FillRow(19, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    FillRow(20, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    Place(2, 6, 18);
    Hold(PlayAction::ShiftLeft);
    EXPECT_EQ(Lock(), LockResult::Locked);
    EXPECT_EQ(game.well[19][6], 2);
    EXPECT_EQ(game.well[19][5], 0);

    // Released, the latch opens for the next press.
    Release(PlayAction::HardDrop);
    Act();
    EXPECT_EQ(PlayerKeys().dropLatch, 0);
}

TEST_F(PieceControl, LandedPieceSlidesAlongALedgeAndFallsOffItsEdge) {
    // The L rests on a ledge in row 16 and slides left five columns while A is held.
    EmptyWellWith(2, 8, 13);
    FillRow(16, {11});
    Hold(PlayAction::ShiftLeft);
    EXPECT_EQ(Lock(), LockResult::Locked);
    EXPECT_EQ(game.well[14][8], 0);
    EXPECT_EQ(game.well[14][3], 2);
    EXPECT_EQ(game.well[15][5], 2);

    // With the ledge ending at column 7 the slide carries the piece past its edge: it falls on.
    EmptyWellWith(2, 8, 13);
    FillRow(16, {2, 3, 4, 5, 6});
    EXPECT_EQ(Lock(), LockResult::Falling);
    EXPECT_EQ(game.pieceX, 3);
    EXPECT_FALSE(IsBlockedBelow(game));
}

TEST_F(PieceControl, SoftDropScoresTenAndNothingWhenResting) {
    EmptyWellWith(1, 5, 10);
    Hold(PlayAction::SoftDrop);
    AdvanceManualClock(500);
    Act();
    EXPECT_EQ(game.pieceY, 11);
    EXPECT_EQ(game.score, 10u);
    EXPECT_EQ(game.lastFallTime, NowMs());
    Place(1, 5, 18);
    SoftDrop(game, scripted);
    EXPECT_EQ(game.pieceY, 18);
    EXPECT_EQ(game.score, 10u);
    EXPECT_EQ(Lock(), LockResult::Locked);
}

TEST_F(PieceControl, GameOverWinsOverCompletedRows) {
    EmptyWellWith(7, 5, 0);
    for (int row = 2; row <= 20; ++row) FillRow(row);
    FillRow(1, {5, 6, 7, 8});
    const std::uint8_t next = game.nextType;
    EXPECT_EQ(Lock(), LockResult::GameOver);
    for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) EXPECT_NE(game.well[1][c], 0);
    EXPECT_EQ(game.lines, 0);
    EXPECT_EQ(game.nextType, next);
    EXPECT_EQ(game.score, 0u);
}

TEST_F(PieceControl, EscapeAbandonsTheGameForTheMenu) {
    EmptyWellWith(3, 5, 12);
    game.score = 900;
    screenId = Play;
    fade.FadeActive = 0;
    static char elsewhere;
    fade.CurrentBackground = reinterpret_cast<Texture*>(&elsewhere);
    Hold(PlayAction::Abandon);
    Act();
    ReactToGameEvents(TakeGameEvents(game));
    EXPECT_EQ(screenId, MainMenu);
    EXPECT_EQ(fade.FadeActive, 1);
    EXPECT_EQ(fade.CurrentBackground, textures.BlackScreen);
    EXPECT_EQ(fade.NextBackground, textures.MenuBackground);
    EXPECT_EQ(game.score, 0u);
    EXPECT_EQ(game.pieceY, 0);
    fade.FadeActive = 0;
    screenId = Title;
}

// The rules only record; the play screen reacts. Each list comes out in the order it happened.
TEST_F(PieceControl, RulesRecordWhatHappensInOrder) {
    using K = GameEventKind;
    const auto kinds = [] {
        const GameEvents taken = TakeGameEvents(game);
        std::vector<std::pair<K, int>> list;
        for (int i = 0; i < taken.count; ++i)
            list.emplace_back(taken.events[i].kind, taken.events[i].value);
        return list;
    };
    EmptyWellWith(6, 5, 5);
    Hold(PlayAction::Turn);
    Hold(PlayAction::Abandon);
    Act();
    EXPECT_EQ(kinds(), (std::vector<std::pair<K, int>>{{K::Turned, 0}, {K::Abandoned, 0}}));
    ReleaseAll();

    EmptyWellWith(SQUARE_PIECE, 5, 18);
    game.lines = 9;
    FillRow(19, {6, 7});
    FillRow(20, {6, 7});
    EXPECT_EQ(Lock(), LockResult::Locked);
    EXPECT_EQ(kinds(), (std::vector<std::pair<K, int>>{
                           {K::Locked, 0}, {K::LevelReached, 10}, {K::RowsRemoved, 2}}));

    EmptyWellWith(7, 5, 0);
    for (int row = 2; row <= 20; ++row) FillRow(row);
    FillRow(1, {5, 6, 7, 8});
    EXPECT_EQ(Lock(), LockResult::GameOver);
    EXPECT_EQ(kinds(), (std::vector<std::pair<K, int>>{{K::Locked, 0}, {K::GameOver, 0}}));
}

}  // namespace
