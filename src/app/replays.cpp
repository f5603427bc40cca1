#include "app/replays.h"

#include <cinttypes>
#include <cstdio>
#include <optional>
#include <vector>

#include "app/pause.h"
#include "app/replay_store.h"
#include "app/shell.h"
#include "app/shell_testing.h"
#include "game/game_state.h"
#include "game/high_score_table.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "replays/replay_verify.h"
#include "screens/high_scores.h"
#include "screens/play_screen.h"
#include "screens/watch.h"

namespace {

constexpr int VERIFY_MATCHES = 0;
constexpr int VERIFY_DIFFERS = 1;
constexpr int VERIFY_UNREADABLE = 2;

// The last finished game, kept for the row its score may take.
struct LastGame {
    std::vector<std::uint8_t> bytes;
    std::uint32_t score = 0;
};
struct KeptReplays {
    std::optional<LastGame> lastGame;
    // The replay of the command line, watched from the first frame on, and the frame it pauses
    // at (until it has).
    std::optional<Replay> atStart;
    std::optional<std::uint32_t> pauseAt;
    std::optional<std::uint32_t> pausedAt;  // said once the paused picture shows
};
KeptReplays kept;

void Keep(RecordedGame& game) {
    kept.lastGame.reset();
    if (game.bytes.empty()) return;
    if (!KeepLastGame(game.bytes)) ReportProblem("cannot store the last game's replay");
    kept.lastGame = LastGame{std::move(game.bytes), game.result.score};
}

void TieToPlacedRow() {
    const int row = TakePlacedRow();
    if (row < 0 || !kept.lastGame || kept.lastGame->score != ShownGame().score) return;
    if (!TieGameToRow(row, ReadRowScore(highScoreTable, row), kept.lastGame->bytes)) {
        ReportProblem("cannot store the replay of the placed score");
    }
}

void StartRequestedReplay() {
    if (kept.atStart) {
        StartWatching(*kept.atStart);
        kept.atStart.reset();
        return;
    }
    const int row = TakeWatchRequest();
    if (row < 0) return;
    const std::string rowName = "ROW " + std::to_string(row + 1);
    const auto bytes = RowGameBytes(highScoreTable, row);
    if (!bytes) {
        ShowTableMessage(rowName + " HAS NO GAME TO WATCH");
        return;
    }
    Replay replay;
    std::string reason;
    if (!DecodeReplay(*bytes, replay, reason)) {
        ReportProblem("cannot play the replay of row " + std::to_string(row + 1) + ": " + reason);
        ShowTableMessage("THE GAME OF " + rowName + " CANNOT BE PLAYED - DAMAGED FILE");
        return;
    }
    ShowTableMessage("");
    StartWatching(replay);
}

// The replay of the command line pauses once it has played the frames asked for; the frame
// after, which shows the paused picture, says so on the standard output.
void PauseAtChosenFrame() {
    if (kept.pausedAt) {
        std::printf("plemby: the replay is paused at frame %" PRIu32 "\n", *kept.pausedAt);
        std::fflush(stdout);
        kept.pausedAt.reset();
    }
    if (!kept.pauseAt) return;
    const std::optional<std::uint32_t> played = WatchedFrames();
    if (!played || *played < *kept.pauseAt) return;
    kept.pauseAt.reset();
    kept.pausedAt = played;
    PauseAutomatically();
}

}  // namespace

void PauseReplayAt(std::uint32_t frame) { kept.pauseAt = frame; }

RowGames FindRowGames() {
    RowGames games{};
    for (int row = 0; row < HIGH_SCORE_ROWS; ++row) {
        games[static_cast<std::size_t>(row)] = RowGameBytes(highScoreTable, row).has_value();
    }
    return games;
}

void ForgetKeptReplays() { kept = KeptReplays{}; }

void KeepReplays() {
    if (auto finished = TakeFinishedReplay()) Keep(*finished);
    TieToPlacedRow();
    StartRequestedReplay();
    PauseAtChosenFrame();
}

void KeepReplaysAtShutdown() {
    EndGameAtShutdown();
    if (auto finished = TakeFinishedReplay()) Keep(*finished);
}

bool ReadReplayFile(const std::string& path, Replay& replay, std::string& reason) {
    const StoredFile file = ReadStoredFile(path, MAX_REPLAY_BYTES);
    if (file.state == StoredFileState::Missing) {
        reason = "no such file";
        return false;
    }
    if (file.state == StoredFileState::Unreadable) {
        reason = file.problem;
        return false;
    }
    return DecodeReplay(file.bytes, replay, reason);
}

int WatchReplayFile(const std::string& path) {
    Replay replay;
    std::string reason;
    if (!ReadReplayFile(path, replay, reason)) {
        std::fprintf(stderr, "plemby: %s: %s\n", path.c_str(), reason.c_str());
        return VERIFY_UNREADABLE;
    }
    // The first frame starts it. (In the browser RunGame returns before any frame has run: the
    // page's animation callbacks run them.)
    kept.atStart = std::move(replay);
    return RunGame();
}

int VerifyReplayFile(const std::string& path) {
    Replay replay;
    std::string reason;
    if (!ReadReplayFile(path, replay, reason)) {
        std::fprintf(stderr, "plemby: %s: %s\n", path.c_str(), reason.c_str());
        return VERIFY_UNREADABLE;
    }
    const ReplayVerdict verdict = VerifyReplay(replay);
    const ReplayResult& r = verdict.result;
    std::printf("score %" PRIu32 " lines %u level %u well %016" PRIx64 "\n", r.score,
                static_cast<unsigned>(r.lines), static_cast<unsigned>(r.level), r.wellHash);
    if (verdict.matches) return VERIFY_MATCHES;
    std::fprintf(stderr, "plemby: %s does not play as recorded: %s\n", path.c_str(),
                 verdict.problem.c_str());
    return VERIFY_DIFFERS;
}
