#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "game/game_state.h"

// The eight best scores, best first. Row i starts at byte 34 x i: a 26-byte name in the
// font's code, six ASCII digits of score with the units first, then CR LF (rows 0 to 6).
// The same 270 bytes are the built-in table and the stored file.
constexpr int HIGH_SCORE_ROWS = 8;
constexpr int HIGH_SCORE_NAME_LENGTH = 26;
// The name typed at the end of a game is the name a row holds.
static_assert(HIGH_SCORE_NAME_LENGTH == NAME_LENGTH);
constexpr int HIGH_SCORE_DIGITS = 6;
constexpr int HIGH_SCORE_ROW_STRIDE = 34;
constexpr int HIGH_SCORE_SCORE_OFFSET = 26;
constexpr std::size_t HIGH_SCORE_TABLE_SIZE = 270;
// Six digits hold no more; a larger score is kept as this so that the table stays in order.
constexpr std::uint32_t HIGH_SCORE_MAX = 999999;

using HighScoreTable = std::array<std::uint8_t, HIGH_SCORE_TABLE_SIZE>;

extern HighScoreTable highScoreTable;

std::uint32_t ReadRowScore(const HighScoreTable& table, int row);
void WriteRowScore(HighScoreTable& table, int row, std::uint32_t score);
std::uint8_t* RowName(HighScoreTable& table, int row);
const std::uint8_t* RowName(const HighScoreTable& table, int row);

// True for the codes the bitmap font draws: digits (as values or ASCII), the blank cell, the
// three signs and the letter rows.
bool IsFontCode(std::uint8_t code);
// A stored table is taken only when it has the exact size and layout, digits in every score
// place, drawable names and its scores best first.
bool IsValidHighScoreTable(std::span<const std::uint8_t> bytes);

// The bytes as a table when they are a valid one, else a blank-named table of the default
// scores.
HighScoreTable HighScoresOrDefault(std::span<const std::uint8_t> bytes);
