#include "app/replay_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/high_score_store.h"
#include "common/hash.h"
#include "platform/files.h"
#include "support/temp_home.h"

namespace {

std::vector<std::uint8_t> GameBytes(int n) {
    return std::vector<std::uint8_t>(40 + n, static_cast<std::uint8_t>(n));
}

// The built-in table with these scores.
HighScoreTable TableAfter(const std::vector<std::uint32_t>& scores) {
    HighScoreTable table = BuiltInHighScores();
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        WriteRowScore(table, row, scores[static_cast<std::size_t>(row)]);
    }
    return table;
}

// Games tied as their scores take rows: each keeps its row as the rows move down, the one that
// falls off the table is deleted, and a tie whose score is no longer its row's, or a damaged
// ties file, ties nothing.
TEST(ReplayStore, GamesMoveDownWithTheirRowsAndFallOffWithThem) {
    ClearTestHome();
    std::vector<std::uint32_t> scores(HIGH_SCORE_ROWS, 0);
    for (int game = 1; game <= HIGH_SCORE_ROWS + 1; ++game) {
        scores.insert(scores.begin(), static_cast<std::uint32_t>(1000 * game));
        scores.pop_back();
        ASSERT_TRUE(TieGameToRow(0, static_cast<std::uint32_t>(1000 * game), GameBytes(game)));
    }
    const HighScoreTable table = TableAfter(scores);
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        EXPECT_EQ(RowGameBytes(table, row), GameBytes(HIGH_SCORE_ROWS + 1 - row)) << "row " << row;
    }
    // The first game fell off the table: its file is gone, the others' are there.
    EXPECT_FALSE(ReadSmallFile(ReplayPath(Fnv1a64(GameBytes(1))), 1000).has_value());
    EXPECT_TRUE(ReadSmallFile(ReplayPath(Fnv1a64(GameBytes(2))), 1000).has_value());

    // A table stored without its ties: rows whose score changed tie nothing.
    std::vector<std::uint32_t> moved = scores;
    moved[2] = 1;
    EXPECT_FALSE(RowGameBytes(TableAfter(moved), 2).has_value());
    EXPECT_TRUE(RowGameBytes(TableAfter(moved), 1).has_value());

    const std::string tiesPath = ReplaysFolder() + "/" + ROW_TIES_FILE;
    std::vector<std::uint8_t> damaged = ReadSmallFile(tiesPath, 1000).value();
    damaged[5] = 'x';
    ASSERT_TRUE(SaveFileAtomically(tiesPath, damaged));
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        EXPECT_FALSE(RowGameBytes(table, row).has_value());
    }

    EXPECT_TRUE(KeepLastGame(GameBytes(3)));
    EXPECT_EQ(ReadSmallFile(ReplaysFolder() + "/" + LAST_GAME_FILE, 1000), GameBytes(3));
    ClearTestHome();
}

}  // namespace
