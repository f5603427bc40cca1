#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/replays.h"
#include "game/game_state.h"
#include "platform/files.h"
#include "replays/replay.h"
#include "replays/replay_verify.h"
#include "support/portable.h"
#include "support/temp_home.h"

namespace {

const std::string CORPUS = std::string(PLEMBY_SOURCE_DIR) + "/tests/replays";

std::vector<std::filesystem::path> CorpusFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(CORPUS)) {
        if (entry.path().extension() == ".plr") files.push_back(entry.path());
    }
    return files;
}

// The game's exit status and first line of output for the arguments.
std::pair<int, std::string> RunPlemby(const std::string& arguments) {
    const std::string out = TestHomeDir() + "/verify-output";
    const int status =
        RunCommand(BuiltProgram("plemby") + " " + arguments + " >" + out + " 2>" + NullDevice());
    std::ifstream in(out);
    std::string line;
    std::getline(in, line);
    return {status, line.empty() ? line : line + "\n"};
}

// What the corpus as a whole plays through: landings that removed one, two, three and four rows,
// level-ups, and the lines counter wrapping after 255. Counted after every frame of the rules.
struct Coverage {
    int clears[5] = {};
    int levelUps = 0;
    int wraps = 0;
    std::uint8_t lines = 0;
    std::uint8_t level = 0;
};
Coverage coverage;

void CountFrame(std::uint32_t, const GameState& game, const HeldKeys&) {
    // A frame locks one piece at most, so the lines it added are that landing's rows.
    const int removed = (game.lines - coverage.lines + 256) % 256;
    if (removed >= 1 && removed <= 4) ++coverage.clears[removed];
    if (game.lines < coverage.lines) ++coverage.wraps;
    if (game.level > coverage.level) coverage.levelUps += game.level - coverage.level;
    coverage.lines = game.lines;
    coverage.level = game.level;
}

// Games recorded by playing the real game, with different settings and endings, by hand and by
// the CPU player, play out through the rules of this build exactly as they were played, and are
// written back to the same bytes.
TEST(ReplayCorpus, RecordedGamesEndExactlyAsTheyWerePlayed) {
    const std::vector<std::filesystem::path> files = CorpusFiles();
    ASSERT_GE(files.size(), 20u);
    bool pastLevelFive = false, withGarbage = false, abandoned = false, unfinished = false;
    bool over = false;
    coverage = Coverage{};
    for (const auto& path : files) {
        Replay replay;
        std::string reason;
        ASSERT_TRUE(ReadReplayFile(path.string(), replay, reason)) << path << ": " << reason;
        coverage.lines = 0;
        coverage.level = replay.start.play.startLevel;
        const ReplayVerdict verdict = VerifyReplay(replay, CountFrame);
        EXPECT_TRUE(verdict.matches) << path << ": " << verdict.problem;
        std::printf("%-28s lines %3u level %3u\n", path.stem().string().c_str(),
                    static_cast<unsigned>(verdict.result.lines),
                    static_cast<unsigned>(verdict.result.level));
        EXPECT_EQ(EncodeReplay(replay), ReadSmallFile(path.string(), MAX_REPLAY_BYTES))
            << path << " is not written back byte for byte";
        pastLevelFive = pastLevelFive || replay.result.level > 5;
        withGarbage = withGarbage || replay.start.play.garbageRows > 0;
        abandoned = abandoned || replay.result.ending == GameEnding::Abandoned;
        unfinished = unfinished || replay.result.ending == GameEnding::Unfinished;
        over = over || replay.result.ending == GameEnding::GameOver;
    }
    EXPECT_TRUE(pastLevelFive && withGarbage && abandoned && unfinished && over);
    std::printf("clears of 1/2/3/4 rows: %d/%d/%d/%d, level-ups %d, wraps %d\n", coverage.clears[1],
                coverage.clears[2], coverage.clears[3], coverage.clears[4], coverage.levelUps,
                coverage.wraps);
    for (int rows = 1; rows <= 4; ++rows) EXPECT_GT(coverage.clears[rows], 0) << rows << " rows";
    EXPECT_GT(coverage.levelUps, 0);
    EXPECT_GT(coverage.wraps, 0);
}

// The command line's verdicts: 0 with the game's end printed, 1 for a game that ends otherwise
// than its record says, 2 for a file that cannot be read as a replay.
TEST(ReplayCorpus, VerifyReplayAnswersMatchDiffersAndDamaged) {
    ClearTestHome();
    const std::filesystem::path good = CorpusFiles().front();
    Replay replay;
    std::string reason;
    ASSERT_TRUE(ReadReplayFile(good.string(), replay, reason)) << reason;
    const auto [status, line] = RunPlemby("--verify-replay " + good.string());
    EXPECT_EQ(status, 0);
    EXPECT_EQ(line.rfind("score " + std::to_string(replay.result.score) + " lines ", 0), 0u)
        << line;

    const std::string other = TestHomeDir() + "/other.plr";
    replay.result.score += 1;
    ASSERT_TRUE(SaveFileAtomically(other, EncodeReplay(replay)));
    EXPECT_EQ(RunPlemby("--verify-replay " + other).first, 1);

    std::vector<std::uint8_t> damaged = ReadSmallFile(good.string(), MAX_REPLAY_BYTES).value();
    damaged[damaged.size() / 2] ^= 0x40;
    const std::string broken = TestHomeDir() + "/broken.plr";
    ASSERT_TRUE(SaveFileAtomically(broken, damaged));
    EXPECT_EQ(RunPlemby("--verify-replay " + broken).first, 2);
    EXPECT_EQ(RunPlemby("--verify-replay " + TestHomeDir() + "/missing.plr").first, 2);
    ClearTestHome();
}

}  // namespace
