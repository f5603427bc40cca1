#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "game/high_score_table.h"

// The replays kept beside the high scores, in $XDG_DATA_HOME/plemby/replays/: the last game
// whatever its score, and one game for each row of the table that has one. A row's game is tied
// to it by the file `rows`, eight lines of "<game id, 16 hex digits> <score, 6 digits>", saved
// after the game's own file; a line whose score is not the table's any more (the table was
// stored but the ties were not) ties nothing.
constexpr const char* REPLAYS_FOLDER = "replays";
constexpr const char* LAST_GAME_FILE = "last.plr";
constexpr const char* ROW_TIES_FILE = "rows";

struct RowTie {
    std::uint64_t id = 0;  // 0: no game
    std::uint32_t score = 0;
};
using RowTies = std::array<RowTie, HIGH_SCORE_ROWS>;

// The folder; empty when no data folder can be found.
std::string ReplaysFolder();
// Where the game of this id is kept.
std::string ReplayPath(std::uint64_t id);

// Writes the last game's file (atomically); false when it could not be stored.
bool KeepLastGame(std::span<const std::uint8_t> replay);

// After a score was placed in `row` of the table (and the rows below it moved down): the
// game's file, then the ties moved down with the rows and the new one; the game that fell off
// the table is deleted. False when something could not be stored; what was stored before
// stays as it was.
bool TieGameToRow(int row, std::uint32_t score, std::span<const std::uint8_t> replay);

// The ties as stored, each checked against the table's row score; rows without a game have id
// 0.
RowTies ReadRowTies(const HighScoreTable& table);

// The bytes of the game tied to `row`, or nullopt (no game, or it cannot be read).
std::optional<std::vector<std::uint8_t>> RowGameBytes(const HighScoreTable& table, int row);
