#include "app/high_score_store.h"

#include <cerrno>
#include <cstring>

#include "app/high_score_store_testing.h"
#include "platform/files.h"
#include "platform/resource_ids.h"
#include "platform/resources.h"
#include "screens/high_scores.h"
#include "screens/high_scores_testing.h"

HighScoreTable BuiltInHighScores() {
    return HighScoresOrDefault(FindResource("TEXT", DEFAULT_HIGH_SCORES_ID));
}

std::string HighScoresPath() {
    const std::string dir = DataDir();
    return dir.empty() ? std::string() : dir + "/" + HIGH_SCORES_FILE_NAME;
}

namespace {

// What start-up learnt about the stored table, and whether the player has been told that a
// placed score could not be stored.
struct TableStore {
    bool keepStoredFile = false;
    bool toldNotStored = false;
};
TableStore tableStore;

}  // namespace

void LoadHighScores() {
    tableStore = TableStore{};
    highScoreTable = BuiltInHighScores();
    const std::string path = HighScoresPath();
    if (path.empty()) return;
    // Loaded once, at start-up, by the one running copy: what a killed save left can go.
    RemoveStaleTemporaries(path);
    const StoredFile stored = ReadStoredFile(path, HIGH_SCORE_TABLE_SIZE);
    if (stored.state == StoredFileState::Unreadable) {
        // The player's scores may be in there: play on with the built-in table, never over it.
        tableStore.keepStoredFile = true;
        ReportProblem("cannot read the high scores in " + path + " (" + stored.problem +
                      "); playing with the built-in table, which will not be stored");
        return;
    }
    // A damaged table is passed over and stays on disk until a placed score replaces it.
    if (stored.state == StoredFileState::Read && IsValidHighScoreTable(stored.bytes)) {
        std::copy(stored.bytes.begin(), stored.bytes.end(), highScoreTable.begin());
    }
}

bool SaveHighScores() {
    if (tableStore.keepStoredFile) return false;
    const std::string path = HighScoresPath();
    if (!path.empty() && SaveFileAtomically(path, highScoreTable)) return true;
    const std::string why = path.empty() ? "no data folder (neither XDG_DATA_HOME nor HOME is set)"
                                         : path + " (" + std::strerror(errno) + ")";
    if (!tableStore.toldNotStored) {
        tableStore.toldNotStored = true;
        ReportProblem("cannot store the high scores in " + why + "; they last until the game ends");
    }
    return false;
}

void ResetHighScoresStartupState() {
    tableStore = TableStore{};
    highScoreTable = BuiltInHighScores();
    ResetHighScoresScreen();
}
