#include "cpu_player/cpu_player.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "common/random.h"
#include "common/settings.h"
#include "cpu_player/cpu_game.h"
#include "game/rules_frame.h"
#include "platform/files.h"
#include "replays/replay.h"
#include "replays/replayed_game.h"

namespace {

class CpuPlayerTest : public ::testing::Test {
protected:
    void SetUp() override { settings = Settings{}; }
    void TearDown() override { settings = Settings{}; }

    // A game from the seed; `draws` is how many values the generator gave during it.
    static CpuGameResult Play(std::uint32_t seed, std::uint32_t rows, std::uint64_t& draws) {
        Random random(seed);
        const CpuGameResult result = PlayCpuGame({.rows = rows}, random);
        draws = random.Draws();
        return result;
    }
};

// At the default settings the player clears rows through every level-up to the fastest gravity,
// the game's generator gives only the pieces (two at the start, one a lock), and the same game
// gives the same moves.
TEST_F(CpuPlayerTest, PlaysThroughTheLevelsDrawingNothingAndTheSameEachTime) {
    std::uint64_t draws = 0;
    const CpuGameResult first = Play(4242, 115, draws);
    EXPECT_FALSE(first.gameOver);
    EXPECT_GE(first.rows, 115u);
    EXPECT_GE(first.topLevel, 12);
    EXPECT_EQ(draws, 2 + first.pieces);
    EXPECT_EQ(first.rows,
              first.clears[1] + 2 * first.clears[2] + 3 * first.clears[3] + 4 * first.clears[4]);

    // A game and its key timers are its own: the second game starts as the first did.
    std::uint64_t again = 0;
    const CpuGameResult second = Play(4242, 115, again);
    EXPECT_EQ(second.score, first.score);
    EXPECT_EQ(second.frames, first.frames);
    EXPECT_EQ(again, draws);
}

// The player steers with whatever the settings give it: the slowest repeats with the turning
// reversed, from the fastest level, and the fastest repeats digging through ten garbage rows.
TEST_F(CpuPlayerTest, SteersWithAnyRepeatsAndDigsThroughGarbage) {
    settings.moveRepeat = settings.rotateRepeat = settings.dropRepeat = 10;
    settings.rotateReversed = 1;
    settings.startLevel = 10;
    std::uint64_t draws = 0;
    const CpuGameResult slow = Play(99, 60, draws);
    EXPECT_FALSE(slow.gameOver);
    EXPECT_GE(slow.rows, 60u);

    settings = Settings{};
    settings.moveRepeat = settings.rotateRepeat = settings.dropRepeat = 1;
    settings.garbageRows = 10;
    const CpuGameResult digging = Play(7, 40, draws);
    EXPECT_FALSE(digging.gameOver);
    EXPECT_GE(digging.rows, 40u);
}

// Fed the frames of the games it played in the real game (--autoplay, the corpus's cpu-* files),
// the CPU player answers every frame, paused ones too, with the actions it held then: its choices
// are the ones it made when they were recorded. The way out the player holds is not its own.
TEST_F(CpuPlayerTest, AnswersTheGamesItPlayedFrameByFrame) {
    const std::filesystem::path corpus = std::string(PLEMBY_SOURCE_DIR) + "/tests/replays";
    int games = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("cpu-", 0) != 0 || entry.path().extension() != ".plr") continue;
        ++games;
        Replay replay;
        std::string reason;
        const auto bytes = ReadSmallFile(entry.path().string(), MAX_REPLAY_BYTES);
        ASSERT_TRUE(bytes && DecodeReplay(*bytes, replay, reason)) << name << ": " << reason;
        std::uint8_t reversed = replay.start.rotateReversed;
        Random random;
        GameState game;
        game.random = &random;
        CpuGamePlayer player(game, reversed);
        ReplayedGame source(replay);
        BeginGame(game, source);
        FrameInput frame;
        std::uint32_t answered = 0;
        while (source.NextFrame(frame)) {
            reversed = frame.turnReversed ? 1 : 0;
            ActionRecord recorded = frame.actions;
            recorded.Set(PlayAction::Abandon, false);
            ASSERT_EQ(player.NextActions().held, recorded.held)
                << name << ", frame " << source.FrameIndex();
            ++answered;
            if (frame.paused) continue;
            if (Happened(BeginRulesFrame(game, source, frame), GameEventKind::Abandoned) ||
                Happened(EndRulesFrame(game, source, frame), GameEventKind::GameOver))
                break;
        }
        EXPECT_EQ(answered + 1, replay.frames.size()) << name;
        EXPECT_TRUE(source.Problem().empty()) << name << ": " << source.Problem();
    }
    EXPECT_EQ(games, 10);
}

}  // namespace
