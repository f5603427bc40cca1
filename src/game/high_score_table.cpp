#include "game/high_score_table.h"

#include <algorithm>

#include "common/font_codes.h"

HighScoreTable highScoreTable{};

namespace {

constexpr std::uint8_t DIGIT_ZERO = 0x30;
constexpr std::uint8_t ROW_END[2] = {0x0D, 0x0A};
constexpr std::uint32_t DEFAULT_TOP_SCORE = 131072;

std::size_t RowStart(int row) { return static_cast<std::size_t>(HIGH_SCORE_ROW_STRIDE * row); }

bool IsDigit(std::uint8_t b) { return b >= DIGIT_ZERO && b <= DIGIT_ZERO + 9; }

}  // namespace

std::uint32_t ReadRowScore(const HighScoreTable& table, int row) {
    std::uint32_t score = 0;
    std::uint32_t place = 1;
    const std::size_t at = RowStart(row) + HIGH_SCORE_SCORE_OFFSET;
    for (int k = 0; k < HIGH_SCORE_DIGITS; ++k, place *= 10) {
        // Unsigned wrap-around keeps a stray byte harmless; loaded tables hold digits only.
        score += static_cast<std::uint32_t>(table[at + static_cast<std::size_t>(k)] - DIGIT_ZERO) *
                 place;
    }
    return score;
}

void WriteRowScore(HighScoreTable& table, int row, std::uint32_t score) {
    score = std::min(score, HIGH_SCORE_MAX);
    const std::size_t at = RowStart(row) + HIGH_SCORE_SCORE_OFFSET;
    for (int k = 0; k < HIGH_SCORE_DIGITS; ++k, score /= 10) {
        table[at + static_cast<std::size_t>(k)] =
            static_cast<std::uint8_t>(DIGIT_ZERO + score % 10);
    }
}

std::uint8_t* RowName(HighScoreTable& table, int row) { return table.data() + RowStart(row); }

const std::uint8_t* RowName(const HighScoreTable& table, int row) {
    return table.data() + RowStart(row);
}

bool IsFontCode(std::uint8_t code) {
    return code <= FONT_LAST_DIGIT_VALUE || IsDigit(code) || code == BLANK_CELL ||
           code == FONT_SLASH || code == FONT_MINUS || code == FONT_PLUS ||
           (code >= FONT_LETTER_A && code <= FONT_LAST_CODE);
}

bool IsValidHighScoreTable(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != HIGH_SCORE_TABLE_SIZE) return false;
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        const auto rowBytes = bytes.subspan(RowStart(row));
        if (!std::all_of(rowBytes.begin(), rowBytes.begin() + HIGH_SCORE_NAME_LENGTH, IsFontCode)) {
            return false;
        }
        const auto digits = rowBytes.subspan(HIGH_SCORE_SCORE_OFFSET, HIGH_SCORE_DIGITS);
        if (!std::all_of(digits.begin(), digits.end(), IsDigit)) return false;
        if (row < HIGH_SCORE_ROWS - 1) {
            const auto end = rowBytes.subspan(HIGH_SCORE_SCORE_OFFSET + HIGH_SCORE_DIGITS, 2);
            if (end[0] != ROW_END[0] || end[1] != ROW_END[1]) return false;
        }
    }
    // Best first: placing a score in a table out of order would drop a better row.
    HighScoreTable table{};
    std::copy(bytes.begin(), bytes.end(), table.begin());
    for (int row = 1; row < HIGH_SCORE_ROWS; ++row) {
        if (ReadRowScore(table, row) > ReadRowScore(table, row - 1)) return false;
    }
    return true;
}

HighScoreTable HighScoresOrDefault(std::span<const std::uint8_t> bytes) {
    HighScoreTable table{};
    if (IsValidHighScoreTable(bytes)) {
        std::copy(bytes.begin(), bytes.end(), table.begin());
        return table;
    }
    std::uint32_t score = DEFAULT_TOP_SCORE;
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row, score /= 2) {
        std::fill_n(RowName(table, row), HIGH_SCORE_NAME_LENGTH, BLANK_CELL);
        WriteRowScore(table, row, score);
        if (row < HIGH_SCORE_ROWS - 1) {
            const std::size_t end = RowStart(row) + HIGH_SCORE_SCORE_OFFSET + HIGH_SCORE_DIGITS;
            table[end] = ROW_END[0];
            table[end + 1] = ROW_END[1];
        }
    }
    return table;
}
