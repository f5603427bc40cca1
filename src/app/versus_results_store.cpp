#include "app/versus_results_store.h"

#include <cerrno>
#include <cstring>

#include "app/player_file.h"
#include "app/versus_results_store_testing.h"
#include "platform/files.h"

namespace {

constexpr PlayerFileKind VERSUS_FILE = {
    .contents = "the versus results",
    .builtIn = "no versus results",
    .folder = ConfigDir,
    .noFolderReason = NoConfigDirReason,
    .fileName = VERSUS_RESULTS_FILE_NAME,
    .maxBytes = VERSUS_RESULTS_SIZE,
};

PlayerFileState resultsFile;

// Results that cannot be read back are worth little against the next ones: the file is kept
// aside for whoever wants to look at it, and its place is free for the next save.
std::string TakeStoredResults(std::span<const std::uint8_t> bytes) {
    if (const auto results = ParseVersusResults(bytes)) {
        versusResults = *results;
        return {};
    }
    const std::string path = VersusResultsPath();
    const std::string aside = path + DAMAGED_SUFFIX;
    if (MoveFileOver(path, aside)) return "are damaged; starting from none (kept as " + aside + ")";
    resultsFile.keepStoredFile = true;
    return "are damaged and cannot be moved aside (" + std::string(std::strerror(errno)) +
           "); starting from none, which will not be stored";
}

}  // namespace

std::string VersusResultsPath() { return PlayerFilePath(VERSUS_FILE); }

void LoadVersusResults() {
    versusResults = VersusResults{};
    LoadPlayerFile(VERSUS_FILE, resultsFile, TakeStoredResults);
}

bool RecordVersusMatch(CpuStrength strength, MatchOutcome outcome) {
    CountMatch(versusResults, strength, outcome);
    return SavePlayerFile(VERSUS_FILE, resultsFile, FormatVersusResults(versusResults));
}

void ResetVersusResults() {
    versusResults = VersusResults{};
    resultsFile = PlayerFileState{};
}
