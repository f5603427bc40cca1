#include "app/replay_store.h"

#include <cinttypes>
#include <cstdio>

#include "common/hash.h"
#include "platform/files.h"
#include "replays/replay.h"

namespace {

constexpr std::size_t TIE_LINE_SIZE = 24;  // 16 hex digits, a space, 6 digits, a newline
constexpr std::size_t TIES_FILE_SIZE = TIE_LINE_SIZE * HIGH_SCORE_ROWS;
constexpr int HEX_DIGITS = 16;

std::string InFolder(const char* name) {
    const std::string folder = ReplaysFolder();
    return folder.empty() ? std::string() : folder + "/" + name;
}

std::optional<RowTies> ParseTies(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != TIES_FILE_SIZE) return std::nullopt;
    RowTies ties{};
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        const std::uint8_t* line = bytes.data() + TIE_LINE_SIZE * static_cast<std::size_t>(row);
        std::uint64_t id = 0;
        for (int i = 0; i < HEX_DIGITS; ++i) {
            const std::uint8_t c = line[i];
            int digit = -1;
            if (c >= '0' && c <= '9') digit = c - '0';
            if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (digit < 0) return std::nullopt;
            id = (id << 4) | static_cast<std::uint64_t>(digit);
        }
        if (line[HEX_DIGITS] != ' ' || line[TIE_LINE_SIZE - 1] != '\n') return std::nullopt;
        std::uint32_t score = 0;
        for (std::size_t i = HEX_DIGITS + 1; i < TIE_LINE_SIZE - 1; ++i) {
            if (line[i] < '0' || line[i] > '9') return std::nullopt;
            score = score * 10 + static_cast<std::uint32_t>(line[i] - '0');
        }
        ties[static_cast<std::size_t>(row)] = {id, score};
    }
    return ties;
}

std::vector<std::uint8_t> FormatTies(const RowTies& ties) {
    std::vector<std::uint8_t> bytes;
    for (const RowTie& tie : ties) {
        char line[TIE_LINE_SIZE + 1];
        std::snprintf(line, sizeof line, "%016" PRIx64 " %06" PRIu32 "\n", tie.id,
                      tie.score % (HIGH_SCORE_MAX + 1));
        bytes.insert(bytes.end(), line, line + TIE_LINE_SIZE);
    }
    return bytes;
}

RowTies StoredTies() {
    const std::string path = InFolder(ROW_TIES_FILE);
    if (path.empty()) return {};
    const auto bytes = ReadSmallFile(path, TIES_FILE_SIZE);
    if (!bytes) return {};
    return ParseTies(*bytes).value_or(RowTies{});
}

bool TiedElsewhere(const RowTies& ties, std::uint64_t id) {
    for (const RowTie& tie : ties) {
        if (tie.id == id) return true;
    }
    return false;
}

}  // namespace

std::string ReplaysFolder() {
    const std::string dir = DataDir();
    return dir.empty() ? std::string() : dir + "/" + REPLAYS_FOLDER;
}

std::string ReplayPath(std::uint64_t id) {
    char name[HEX_DIGITS + 5];
    std::snprintf(name, sizeof name, "%016" PRIx64 ".plr", id);
    return InFolder(name);
}

bool KeepLastGame(std::span<const std::uint8_t> replay) {
    const std::string path = InFolder(LAST_GAME_FILE);
    if (path.empty()) return false;
    RemoveStaleTemporaries(path);
    return SaveFileAtomically(path, replay);
}

bool TieGameToRow(int row, std::uint32_t score, std::span<const std::uint8_t> replay) {
    if (row < 0 || row >= HIGH_SCORE_ROWS || ReplaysFolder().empty()) return false;
    // A game's id is its fingerprint; 0 means none.
    std::uint64_t id = Fnv1a64(replay);
    if (id == 0) id = 1;
    if (!SaveFileAtomically(ReplayPath(id), replay)) return false;

    const RowTies before = StoredTies();
    RowTies after = before;
    for (int r = HIGH_SCORE_ROWS - 1; r > row; --r) {
        after[static_cast<std::size_t>(r)] = after[static_cast<std::size_t>(r - 1)];
    }
    after[static_cast<std::size_t>(row)] = {id, score};
    RemoveStaleTemporaries(InFolder(ROW_TIES_FILE));
    if (!SaveFileAtomically(InFolder(ROW_TIES_FILE), FormatTies(after))) return false;
    const std::uint64_t fallen = before[HIGH_SCORE_ROWS - 1].id;
    if (fallen != 0 && !TiedElsewhere(after, fallen)) RemoveFile(ReplayPath(fallen));
    return true;
}

RowTies ReadRowTies(const HighScoreTable& table) {
    RowTies ties = StoredTies();
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        RowTie& tie = ties[static_cast<std::size_t>(row)];
        if (tie.score != ReadRowScore(table, row)) tie = RowTie{};
    }
    return ties;
}

std::optional<std::vector<std::uint8_t>> RowGameBytes(const HighScoreTable& table, int row) {
    if (row < 0 || row >= HIGH_SCORE_ROWS) return std::nullopt;
    const RowTie tie = ReadRowTies(table)[static_cast<std::size_t>(row)];
    if (tie.id == 0) return std::nullopt;
    return ReadSmallFile(ReplayPath(tie.id), MAX_REPLAY_BYTES);
}
