#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "app/high_score_store.h"
#include "app/replay_store.h"
#include "app/replays.h"
#include "app/settings.h"
#include "app/shell.h"
#include "common/random.h"
#include "game/game_state.h"
#include "game/piece_control.h"
#include "gfx/fade.h"
#include "music/player.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "replays/game_record.h"
#include "replays/replay_verify.h"
#include "screens/front_end_fixture.h"
#include "screens/high_scores.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"
#include "screens/watch.h"
#include "sound/sound.h"
#include "support/temp_home.h"
#include "support/test_game.h"

namespace {

// Everything of the game that one frame of the rules changes.
struct Snapshot {
    Well well{};
    std::uint8_t currentType = 0, nextType = 0, pieceX = 0, pieceY = 0, level = 0, lines = 0;
    PieceMask currentMask{};
    std::uint32_t score = 0, fallInterval = 0;
    std::int64_t lastFallTime = 0;
    std::array<std::uint8_t, REPLAY_REPEAT_BYTES> repeats{};
    std::uint8_t dropLatch = 0;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const GameState& shot, const HeldKeys& keys) {
    Snapshot s;
    s.well = shot.well;
    s.currentType = shot.currentType;
    s.nextType = shot.nextType;
    s.pieceX = shot.pieceX;
    s.pieceY = shot.pieceY;
    s.level = shot.level;
    s.lines = shot.lines;
    s.currentMask = shot.currentMask;
    s.score = shot.score;
    s.fallInterval = shot.fallInterval;
    s.lastFallTime = shot.lastFallTime;
    ReplayStart carried;
    TakeCarriedState(carried, keys);
    s.repeats = carried.keyRepeats;
    s.dropLatch = carried.dropLatch;
    return s;
}

std::map<std::uint32_t, Snapshot> replayed;

// The same picture, but for the watch screen's own panel beside the well.
bool SamePictureButTheCaption(const std::vector<std::uint32_t>& a,
                              const std::vector<std::uint32_t>& b) {
    if (a.size() != b.size() || a.empty()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const int x = static_cast<int>(i % 1024), y = static_cast<int>(i / 1024);
        const bool caption = x >= 752 && x < 752 + 248 && y >= 32 && y < 32 + 216;
        if (!caption && a[i] != b[i]) return false;
    }
    return true;
}

// Glyph cells as glyphRow * 16 + cell.
constexpr int Digit(int d) { return d; }
constexpr int Letter(char c) { return c <= 'P' ? 16 + (c - 'A') : 32 + (c - 'Q'); }

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    return ReadSmallFile(path, MAX_REPLAY_BYTES).value_or(std::vector<std::uint8_t>{});
}

// The whole game loop's frame, hotkeys and the keeping of replays included, on the play and
// front-end screens, with the sounds on a headless output that is never drained: every effect
// started while its buffer still plays takes a draw from the generator the pieces come from.
class ReplayRoad : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        if (HasFatalFailure()) return;
        ClearTestHome();
        UseManualClock(5000000);
        ScriptReleaseAllKeys();
        SeedRandom(2718);
        OpenHeadlessAudio();
        ASSERT_TRUE(InitSound());
        LoadSounds();
    }
    void TearDown() override {
        StopModule();
        ShutdownSound();
        CloseAudioOutput();
        FrontEndTest::TearDown();
    }
};

// A long random game with every kind of frame the loop makes (late ones, ones run back to back,
// paused ones, a turning direction changed on the way, sounds drawing between the rules) is
// recorded, plays back through the rules frame for frame the same, takes its row in the table,
// and is watched from there without touching the table, the settings or the files.
TEST_F(ReplayRoad, AGameIsRecordedReplayedExactlyKeptWithItsRowAndWatched) {
    settings.startLevel = 3;
    settings.garbageRows = 2;
    settings.moveRepeat = 2;
    settings.rotateRepeat = 4;
    settings.dropRepeat = 1;
    settings.soundOn = 1;
    BeginNewGame();
    ChangeScreen(Play, {.shown = textures.LevelBackground[0], .next = textures.LevelBackground[1]});
    std::vector<std::uint32_t> firstPicture, lastPicture;

    std::mt19937 rng(99);
    std::map<std::uint32_t, Snapshot> played;
    std::uint32_t frame = 0;
    int pausedFrames = 0, lateFrames = 0, reversedFrames = 0;
    for (int step = 0; screenId == Play && step < 20000; ++step) {
        const bool dropOnly = step > 3000;  // a long game is brought to its end
        ScriptKey(VK_UP, rng() % 5 == 0);
        ScriptKey(VK_CONTROL, rng() % 11 == 0);
        ScriptKey(VK_LEFT, rng() % 4 == 0);
        ScriptKey(VK_RIGHT, rng() % 4 == 0);
        ScriptKey(VK_SPACE, rng() % 12 == 0);
        ScriptKey(VK_DOWN, dropOnly || rng() % 60 == 0);
        ScriptKey('P', step % 700 == 100 || step % 700 == 160);
        ScriptKey('R', step == 200 || step == 1200);
        const bool ranRules = shell.Paused == 0;
        RunFrame();
        ++frame;
        if (ranRules) played[frame] = Take(ShownGame(), PlayerKeys());
        if (frame == 1 || screenId != Play) {
            Capture();
            (frame == 1 ? firstPicture : lastPicture) = captured;
        }
        pausedFrames += ranRules ? 0 : 1;
        reversedFrames += settings.rotateReversed;
        // Mostly on time, now and then a millisecond late; sometimes a frame takes 65 ms and the
        // next two run at once to catch up.
        const int kind = static_cast<int>(rng() % 100);
        if (kind <= 1) {
            AdvanceManualClock(65);
            ++lateFrames;
        } else if (kind <= 4) {
            AdvanceManualClock(0);
        } else {
            AdvanceManualClock(20 + static_cast<std::int64_t>(rng() % 2));
        }
    }
    ScriptReleaseAllKeys();
    ASSERT_EQ(screenId, GameOver);
    EXPECT_GT(pausedFrames, 50);
    EXPECT_GT(lateFrames, 5);
    EXPECT_GT(reversedFrames, 100);

    // The game was kept as the last one, and plays back through the rules as it was played.
    const std::string last = ReplaysFolder() + "/" + LAST_GAME_FILE;
    Replay replay;
    std::string reason;
    ASSERT_TRUE(ReadReplayFile(last, replay, reason)) << reason;
    EXPECT_EQ(replay.frames.size(), frame + 1);
    int otherDraws = 0;
    for (const ReplayFrame& f : replay.frames)
        otherDraws += f.drawsBeforeActions + f.drawsBeforeRest;
    EXPECT_GT(otherDraws, 10) << "the sounds drew while the game was played";
    replayed.clear();
    const Settings before = settings;
    const ReplayVerdict verdict =
        VerifyReplay(replay, [](std::uint32_t index, const GameState& verified,
                                const HeldKeys& keys) { replayed[index] = Take(verified, keys); });
    EXPECT_TRUE(verdict.matches) << verdict.problem;
    EXPECT_EQ(verdict.result.score, replay.result.score);
    ASSERT_EQ(replayed.size(), played.size());
    for (const auto& [index, snapshot] : played) {
        ASSERT_TRUE(replayed[index] == snapshot) << "frame " << index;
    }
    EXPECT_EQ(settings.startLevel, before.startLevel);
    EXPECT_EQ(settings.rotateReversed, before.rotateReversed);

    // The score takes its row, and the game is kept with it.
    for (int i = 0; i < 2000 && screenId != HighScores; ++i) {
        RunFrame();
        AdvanceManualClock(20);
    }
    ASSERT_EQ(screenId, HighScores);
    RunFrame();
    ASSERT_EQ(game.entryActive, 1) << "score " << game.score;
    const int row = game.entryRow;
    EXPECT_EQ(RowGameBytes(highScoreTable, row), FileBytes(last));
    ScriptKey(VK_RETURN, true);
    RunFrame();
    ScriptKey(VK_RETURN, false);
    for (int i = 0; i < 300 && fade.FadeActive != 0; ++i) RunFrame();
    ScriptKey(VK_ESCAPE, true);
    RunFrame();
    ScriptKey(VK_ESCAPE, false);
    ASSERT_EQ(screenId, MainMenu);

    // From the main menu's table, the row's number plays it, fast while Right is held.
    const std::vector<std::uint8_t> scoresFile = FileBytes(HighScoresPath());
    const std::vector<std::uint8_t> tiesFile = FileBytes(ReplaysFolder() + "/" + ROW_TIES_FILE);
    const HighScoreTable table = highScoreTable;
    const Settings live = settings;
    fromMenu = 1;
    fade.FadeActive = 0;
    screenId = HighScores;
    RunFrame();
    // The row that has a game shows the key that plays it, and a line says so; the others none.
    Capture();
    for (int r = 0; r < HIGH_SCORE_ROWS; ++r) {
        EXPECT_EQ(GlyphAt(780, 400 + 32 * r), r == row ? Digit(r + 1) : -1) << "row " << r;
    }
    EXPECT_EQ(GlyphAt(160, 336), Letter('P')) << "PRESS THE KEY BESIDE A ROW TO WATCH ITS GAME";
    ScriptKey('1' + row, true);
    RunFrame();
    ScriptKey('1' + row, false);
    ASSERT_EQ(screenId, Watch);
    RunFrame();
    Capture();
    // "REPLAY" titles the screen's panel, which says what the keys do and the speed.
    EXPECT_EQ(GlyphAt(828, 40), Letter('R')) << "the screen's title";
    EXPECT_EQ(GlyphAt(768 + 5 * 16, 96), Letter('R')) << "HOLD RIGHT 4X";
    EXPECT_EQ(GlyphAt(768, 128), Letter('P')) << "P PAUSES";
    EXPECT_EQ(GlyphAt(768, 160), Letter('E')) << "ESCAPE LEAVES";
    EXPECT_EQ(GlyphAt(768 + 6 * 16, 208), Digit(1)) << "SPEED 1X";
    EXPECT_TRUE(SamePictureButTheCaption(captured, firstPicture)) << "the first frame";
    // P pauses the replay and says so over it; P again goes on.
    ScriptKey('P', true);
    RunFrame();
    ScriptKey('P', false);
    RunFrame();
    ASSERT_EQ(shell.Paused, 1);
    Capture();
    EXPECT_EQ(GlyphAt(256, 368), Letter('R')) << "REPLAY PAUSED - PRESS P TO GO ON";
    ScriptKey('P', true);
    RunFrame();
    ScriptKey('P', false);
    ASSERT_EQ(shell.Paused, 0);
    ScriptKey(VK_RIGHT, true);
    RunFrame();
    Capture();
    EXPECT_EQ(GlyphAt(768 + 6 * 16, 208), Digit(4)) << "SPEED 4X";
    int watchedFrames = 0;
    for (; watchedFrames < 20000 && screenId == Watch; ++watchedFrames) {
        RunFrame();
        AdvanceManualClock(20);
    }
    ScriptKey(VK_RIGHT, false);
    Capture();
    EXPECT_TRUE(SamePictureButTheCaption(captured, lastPicture)) << "the final well";
    EXPECT_LT(watchedFrames, static_cast<int>(frame) / 2) << "four frames at a time";
    EXPECT_EQ(game.score, replay.result.score);
    EXPECT_EQ(WellHash(game), replay.result.wellHash);
    for (int i = 0; i < 2000 && screenId != HighScores; ++i) {
        RunFrame();
        AdvanceManualClock(20);
    }
    ASSERT_EQ(screenId, HighScores);
    RunFrame();
    EXPECT_EQ(game.entryActive, 0);
    EXPECT_TRUE(highScoreTable == table);
    EXPECT_EQ(FileBytes(HighScoresPath()), scoresFile);
    EXPECT_EQ(FileBytes(ReplaysFolder() + "/" + ROW_TIES_FILE), tiesFile);
    EXPECT_EQ(RowGameBytes(highScoreTable, row), FileBytes(last));
    EXPECT_EQ(settings.startLevel, live.startLevel);
    EXPECT_EQ(settings.garbageRows, live.garbageRows);
    EXPECT_EQ(settings.moveRepeat, live.moveRepeat);
    EXPECT_EQ(settings.rotateReversed, live.rotateReversed);

    // A row's game that cannot be played says so on the table, in one line, and the table stays.
    for (int i = 0; i < 300 && fade.FadeActive != 0; ++i) RunFrame();
    const RowTies ties = ReadRowTies(highScoreTable);
    std::vector<std::uint8_t> damaged =
        FileBytes(ReplayPath(ties[static_cast<std::size_t>(row)].id));
    ASSERT_GT(damaged.size(), 8u);
    damaged.resize(8);
    ASSERT_TRUE(SaveFileAtomically(ReplayPath(ties[static_cast<std::size_t>(row)].id), damaged));
    testing::internal::CaptureStderr();
    ScriptKey('1' + row, true);
    RunFrame();
    ScriptKey('1' + row, false);
    RunFrame();
    EXPECT_NE(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(screenId, HighScores);
    Capture();
    EXPECT_EQ(GlyphAt(512 - 8 * 50, 336), Letter('T'))
        << "THE GAME OF ROW N CANNOT BE PLAYED - DAMAGED FILE";
}

// A replay opened from the command line begins with the pictures a live game begins with, and
// no fade, although the title's fade in runs when it starts.
TEST_F(ReplayRoad, AReplayFromTheCommandLineBeginsWithTheFirstLevelPictures) {
    Replay replay;
    std::string reason;
    ASSERT_TRUE(ReadReplayFile(std::string(PLEMBY_SOURCE_DIR) + "/tests/replays/level1-plain.plr",
                               replay, reason))
        << reason;
    ChangeScreen(Title,
                 {.shown = textures.BlackScreen, .next = textures.TitleBackground, .fade = true});
    RunFrame();
    AdvanceManualClock(20);
    StartWatching(replay);
    for (int i = 0; i < 30 && screenId == Watch && game.lines < 10; ++i) {
        RunFrame();
        AdvanceManualClock(20);
        EXPECT_EQ(fade.CurrentBackground, textures.LevelBackground[0]) << "frame " << i;
        EXPECT_EQ(fade.FadeActive, 0) << "frame " << i;
    }
    EXPECT_EQ(fade.NextBackground, textures.LevelBackground[1]);
}

}  // namespace
