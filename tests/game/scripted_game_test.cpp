#include <cstdlib>
#include <vector>

#include "game_fixture.h"
#include "platform/clock_testing.h"
#include "screens/navigation_testing.h"

namespace {

using ScriptedGame = GameTest;

// The well's fixed parts: empty margins, the full floor and the empty row below it.
void ExpectWellFrame(int frame) {
    for (int row = 0; row < WELL_ROWS; ++row) {
        for (int c : {0, 1, 12, 13}) {
            ASSERT_EQ(game.well[row][c], row == FLOOR_ROW ? 1 : 0) << "frame " << frame;
        }
    }
    for (int c = 0; c < WELL_COLUMNS; ++c) {
        ASSERT_EQ(game.well[FLOOR_ROW][c], 1) << "frame " << frame;
        ASSERT_EQ(game.well[22][c], 0) << "frame " << frame;
    }
    ASSERT_LE(game.pieceX, 10) << "frame " << frame;
    ASSERT_LE(game.pieceY, LAST_BOX_ROW) << "frame " << frame;
}

struct Plan {
    int turns = 0;
    int column = ENTRY_COLUMN;
};

// Rates the well after a landing the way a careful player would: full rows good; height, holes
// and an uneven surface bad.
double Rate() {
    double rating = 0;
    int previousHeight = -1;
    for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) {
        int top = FLOOR_ROW;
        for (int row = LAST_VISIBLE_ROW; row >= 0; --row) {
            if (game.well[row][c] != 0) top = row;
        }
        const int height = FLOOR_ROW - top;
        rating -= 0.5 * height;
        for (int row = top + 1; row < FLOOR_ROW; ++row) rating -= game.well[row][c] == 0 ? 0.4 : 0;
        if (previousHeight >= 0) rating -= 0.2 * std::abs(height - previousHeight);
        previousHeight = height;
    }
    for (int row = FIRST_VISIBLE_ROW; row <= LAST_VISIBLE_ROW; ++row) {
        bool full = true;
        for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c)
            full = full && game.well[row][c] != 0;
        rating += full ? 1.0 : 0;
    }
    return rating;
}

// Tries every turn and column for the piece that has just entered, through the rules' own
// operations on a copy of the game, and picks the best landing.
Plan ChoosePlan() {
    const GameState saved = game;
    Plan best;
    double bestRating = -1e9;
    for (int turns = 0; turns < 4; ++turns) {
        for (int column = 0; column <= 10; ++column) {
            game = saved;
            for (int t = 0; t < turns; ++t) RotatePiece(game, game.currentType, 0);
            bool inside = true;
            ForEachBlock(game.currentMask, [&](int r, int c, std::uint8_t) {
                const int x = column + c;
                inside = inside && x >= FIRST_PLAY_COLUMN && x <= LAST_PLAY_COLUMN &&
                         game.well[game.pieceY + r][x] == 0;
            });
            if (!inside) continue;
            game.pieceX = static_cast<std::uint8_t>(column);
            HardDrop(game, scripted);
            StampPiece(game);
            const double rating = Rate();
            if (rating > bestRating) {
                bestRating = rating;
                best = {turns, column};
            }
        }
    }
    game = saved;
    return best;
}

// The rules' clock readings of a game, logged while it is played and answered back in the same
// order when it is replayed.
struct LoggingSource final : ScriptedSource {
    std::vector<std::int64_t> readings;
    std::int64_t Now() override { return readings.emplace_back(NowMs()); }
};
struct LogSource final : ScriptedSource {
    const std::vector<std::int64_t>* readings = nullptr;
    std::size_t next = 0;
    std::int64_t Now() override {
        return next < readings->size() ? (*readings)[next++] : (++next, 0);
    }
};

void ExpectSameGame(const GameState& a, const GameState& b) {
    EXPECT_EQ(a.well, b.well);
    EXPECT_EQ(a.currentMask, b.currentMask);
    EXPECT_EQ(a.currentType, b.currentType);
    EXPECT_EQ(a.nextType, b.nextType);
    EXPECT_EQ(a.pieceX, b.pieceX);
    EXPECT_EQ(a.pieceY, b.pieceY);
    EXPECT_EQ(a.score, b.score);
    EXPECT_EQ(a.lines, b.lines);
    EXPECT_EQ(a.level, b.level);
    EXPECT_EQ(a.lastFallTime, b.lastFallTime);
}

ActionRecord Holding(PlayAction action) {
    ActionRecord actions;
    actions.Set(action, true);
    return actions;
}

// The game is played from written actions while its clock readings are logged, then replayed
// from the log alone, with the platform clock elsewhere: the rules are given all they read, so
// the replay ends in the same well at the same score.
TEST_F(ScriptedGame, PlaysFromResetToGameOver) {
    LoggingSource played;
    std::vector<ActionRecord> actionLog;
    settings.garbageRows = 3;
    settings.moveRepeat = 1;
    settings.rotateRepeat = 1;
    BeginGame(game, played);

    // A careful player for the first pieces, then one who only drops them in the middle.
    constexpr int CAREFUL_PIECES = 120;
    int piece = 0;
    int step = 0;
    Plan plan = ChoosePlan();
    std::uint32_t lastScore = 0;
    int levelUps = 0;
    std::uint8_t lastLevel = game.level;
    LockResult result = LockResult::Falling;
    int frame = 0;
    for (; frame < 50000 && result != LockResult::GameOver; ++frame) {
        const int shift = plan.column - ENTRY_COLUMN;
        const int shiftFrames = shift < 0 ? -shift : shift;
        ActionRecord actions;
        if (piece >= CAREFUL_PIECES) {
            actions.Set(PlayAction::HardDrop, step % 4 < 2);
        } else if (step < plan.turns) {
            actions = Holding(PlayAction::Turn);
        } else if (step < plan.turns + shiftFrames) {
            actions = Holding(shift < 0 ? PlayAction::ShiftLeft : PlayAction::ShiftRight);
        } else if (step == plan.turns + shiftFrames + 1) {
            actions = Holding(PlayAction::HardDrop);
        }
        ++step;
        actionLog.push_back(actions);
        result = Frame(actions, played);
        ASSERT_NO_FATAL_FAILURE(ExpectWellFrame(frame));
        ASSERT_GE(game.score, lastScore);
        lastScore = game.score;
        levelUps += game.level != lastLevel;
        lastLevel = game.level;
        if (result == LockResult::Locked) {
            ++piece;
            step = 0;
            ASSERT_EQ(game.pieceX, ENTRY_COLUMN);
            ASSERT_EQ(game.pieceY, ENTRY_ROW);
            plan = ChoosePlan();
        }
    }
    ASSERT_EQ(result, LockResult::GameOver) << "after " << frame << " frames";
    EXPECT_GT(piece, CAREFUL_PIECES);
    EXPECT_GE(game.lines, 30);
    EXPECT_EQ(levelUps, game.lines / 10);
    EXPECT_EQ(game.level, 1 + levelUps);
    EXPECT_TRUE(game.well[1][6] != 0 || game.well[1][7] != 0);

    const GameState end = game;
    ResetPlayScreen();
    SeedRandom(12345);
    SetManualClock(1000000000);
    LogSource replayed;
    replayed.readings = &played.readings;
    BeginGame(game, replayed);
    for (std::size_t i = 0; i < actionLog.size(); ++i) {
        const LockResult again = Frame(actionLog[i], replayed);
        ASSERT_EQ(again == LockResult::GameOver, i + 1 == actionLog.size()) << "frame " << i;
    }
    EXPECT_EQ(replayed.next, played.readings.size());
    ExpectSameGame(game, end);
}

}  // namespace
