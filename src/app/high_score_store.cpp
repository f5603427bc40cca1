#include "app/high_score_store.h"

#include <algorithm>

#include "app/high_score_store_testing.h"
#include "app/player_file.h"
#include "platform/files.h"
#include "platform/resource_ids.h"
#include "platform/resources.h"
#include "screens/high_scores.h"
#include "screens/high_scores_testing.h"

HighScoreTable BuiltInHighScores() {
    return HighScoresOrDefault(FindResource("TEXT", DEFAULT_HIGH_SCORES_ID));
}

namespace {

constexpr PlayerFileKind HIGH_SCORES_FILE = {
    .contents = "the high scores",
    .builtIn = "the built-in table",
    .folder = DataDir,
    .noFolderReason = NoDataDirReason,
    .fileName = HIGH_SCORES_FILE_NAME,
    .maxBytes = HIGH_SCORE_TABLE_SIZE,
};
PlayerFileState tableFile;

// A damaged table is passed over and stays on disk until a placed score replaces it.
std::string TakeStoredTable(std::span<const std::uint8_t> bytes) {
    if (!IsValidHighScoreTable(bytes)) {
        return "are damaged; playing with the built-in table until a score is placed";
    }
    std::copy(bytes.begin(), bytes.end(), highScoreTable.begin());
    return {};
}

}  // namespace

std::string HighScoresPath() { return PlayerFilePath(HIGH_SCORES_FILE); }

void LoadHighScores() {
    highScoreTable = BuiltInHighScores();
    LoadPlayerFile(HIGH_SCORES_FILE, tableFile, TakeStoredTable);
}

bool SaveHighScores() { return SavePlayerFile(HIGH_SCORES_FILE, tableFile, highScoreTable); }

void ResetHighScoresStartupState() {
    tableFile = PlayerFileState{};
    highScoreTable = BuiltInHighScores();
    ResetHighScoresScreen();
}
