#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "server/game_check.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every game of the corpus, recorded by playing the real game, passes the server's check when
// it ended in a game over, and is refused as unfinished when it did not.
TEST(GameCheck, RecordedGamesPass) {
    int checked = 0;
    int overs = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(PLEMBY_SOURCE_DIR) / "tests/replays")) {
        if (entry.path().extension() != ".plr") continue;
        Replay replay;
        std::string reason;
        ASSERT_TRUE(DecodeReplay(ReadFile(entry.path()), replay, reason)) << reason;
        const auto outcome = CheckGame(replay);
        const auto* refusal = std::get_if<Refusal>(&outcome);
        if (replay.result.ending == GameEnding::GameOver) {
            const auto* game = std::get_if<CheckedGame>(&outcome);
            ASSERT_NE(game, nullptr) << entry.path() << ": " << refusal->message;
            EXPECT_EQ(game->score, replay.result.score) << entry.path();
            EXPECT_EQ(game->rows % 256, replay.result.lines) << entry.path();
            ++overs;
        } else {
            ASSERT_NE(refusal, nullptr) << entry.path();
            EXPECT_EQ(refusal->reason, "unfinished-game") << entry.path();
        }
        ++checked;
    }
    EXPECT_GT(checked, 10);
    EXPECT_GT(overs, 5);
}

}  // namespace
