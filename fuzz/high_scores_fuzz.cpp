// Stored high-score files come from the user's disk: any bytes are either refused or taken as a
// table that reads, ranks and writes back without harm.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "game/high_score_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    if (!IsValidHighScoreTable(bytes)) return 0;
    HighScoreTable table{};
    for (std::size_t i = 0; i < size; ++i) table[i] = data[i];
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        const std::uint32_t score = ReadRowScore(table, row);
        if (score > HIGH_SCORE_MAX) std::abort();
        WriteRowScore(table, row, score);
        if (ReadRowScore(table, row) != score) std::abort();
    }
    if (!IsValidHighScoreTable(table)) std::abort();
    return 0;
}
