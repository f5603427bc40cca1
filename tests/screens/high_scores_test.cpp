#include "screens/high_scores.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "app/high_score_store.h"
#include "app/high_score_store_testing.h"
#include "app/settings.h"
#include "app/shell.h"
#include "common/font_codes.h"
#include "game/game_state.h"
#include "gfx/fade.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/resource_ids.h"
#include "platform/resources.h"
#include "support/temp_home.h"
#include "support/test_game.h"

namespace {

constexpr std::uint32_t DEFAULT_SCORES[HIGH_SCORE_ROWS] = {131072, 65536, 32768, 16384,
                                                           8192,   4096,  2048,  1024};

std::vector<std::uint8_t> Name(const HighScoreTable& table, int row) {
    return {RowName(table, row), RowName(table, row) + NAME_LENGTH};
}

std::vector<std::uint8_t> BlankName() { return std::vector<std::uint8_t>(NAME_LENGTH, BLANK_CELL); }

// Letters typed so far, padded with blanks to a whole name.
template <std::size_t N>
std::vector<std::uint8_t> TypedName(const char (&text)[N]) {
    const auto label = FontLabel(text);
    std::vector<std::uint8_t> name(label.begin(), label.end());
    name.resize(NAME_LENGTH, BLANK_CELL);
    return name;
}

// The keys change one step at a time, as a player's fingers move: a step between two frames. A
// step that presses a key already down is the system's repeat of that key.
struct KeySteps {
    std::vector<std::pair<int, bool>> steps;
    std::size_t next = 0;
};
KeySteps keySteps;

// Once the steps are over every key is up.
void TakeKeyStep() {
    if (keySteps.next == keySteps.steps.size()) {
        ScriptReleaseAllKeys();
        return;
    }
    const auto [vk, down] = keySteps.steps[keySteps.next++];
    ScriptKey(vk, down);
}

class HighScoresTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearTestHome();
        ResetTestGame();
        fade.FadeActive = 0;
        screenId = HighScores;
        ScriptReleaseAllKeys();
    }

    void TearDown() override { StopInputScript(); }

    // A game has just ended with this score and the screen opens after it.
    static void FinishGameWith(std::uint32_t score) {
        game.score = score;
        fromMenu = 0;
        HighScoresFrame();
    }

    // One press and release of a key while a name is typed: a frame with it down, then the
    // frame that sees it released and types it.
    static void Type(int vk) {
        ScriptKey(vk, true);
        HighScoresFrame();
        ScriptReleaseAllKeys();
        HighScoresFrame();
    }

    // Runs the screen through the steps, then a few frames more with every key up.
    static void PlaySteps(std::vector<std::pair<int, bool>> steps) {
        keySteps = {std::move(steps), 0};
        while (keySteps.next < keySteps.steps.size()) {
            TakeKeyStep();
            HighScoresFrame();
        }
        TakeKeyStep();
        for (int i = 0; i < 3; ++i) HighScoresFrame();
    }

    // The steps of a key held down while the system repeats it `repeats` times, then let go.
    static std::vector<std::pair<int, bool>> Held(int vk, int repeats) {
        std::vector<std::pair<int, bool>> steps(static_cast<std::size_t>(repeats) + 1, {vk, true});
        steps.emplace_back(vk, false);
        return steps;
    }

    static std::filesystem::path StoredFile() {
        return std::filesystem::path(DataDir()) / "highscores.bin";
    }

    void WriteStoredFile(const std::vector<std::uint8_t>& bytes) const {
        std::filesystem::create_directories(StoredFile().parent_path());
        std::ofstream(StoredFile(), std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
};

TEST_F(HighScoresTest, ScoreIsPlacedBelowEqualRowsAndPushesTheRestDown) {
    const HighScoreTable before = highScoreTable;

    FinishGameWith(1024);  // only equals the last row
    EXPECT_EQ(game.entryActive, 0);
    EXPECT_EQ(game.entryAllowed, 1);
    EXPECT_EQ(highScoreTable, before);

    ResetTestGame();
    FinishGameWith(1025);
    EXPECT_EQ(game.entryActive, 1);
    EXPECT_EQ(game.entryAllowed, 0);
    EXPECT_EQ(game.entryRow, 7);
    EXPECT_EQ(ReadRowScore(highScoreTable, 7), 1025u);
    EXPECT_EQ(Name(highScoreTable, 7), BlankName());
    EXPECT_EQ(Name(highScoreTable, 6), Name(before, 6));

    ResetHighScoresStartupState();
    ResetTestGame();
    FinishGameWith(4096);  // equal to row 5: goes below it
    EXPECT_EQ(game.entryRow, 6);
    EXPECT_EQ(Name(highScoreTable, 5), Name(before, 5));
    EXPECT_EQ(Name(highScoreTable, 7), Name(before, 6));
    EXPECT_EQ(ReadRowScore(highScoreTable, 7), 2048u);
}

TEST_F(HighScoresTest, TopScoreTakesRowZeroAndTheLastRowDropsOut) {
    const HighScoreTable before = highScoreTable;
    FinishGameWith(200000);
    EXPECT_EQ(game.entryRow, 0);
    EXPECT_EQ(ReadRowScore(highScoreTable, 0), 200000u);
    EXPECT_EQ(Name(highScoreTable, 0), BlankName());
    for (int row = 1; row < HIGH_SCORE_ROWS; ++row) {
        EXPECT_EQ(ReadRowScore(highScoreTable, row), DEFAULT_SCORES[row - 1]) << "row " << row;
        EXPECT_EQ(Name(highScoreTable, row), Name(before, row - 1)) << "row " << row;
    }
    EXPECT_TRUE(IsValidHighScoreTable(highScoreTable));

    // A second frame does not place the same game again.
    HighScoresFrame();
    EXPECT_EQ(ReadRowScore(highScoreTable, 1), 131072u);
    EXPECT_EQ(ReadRowScore(highScoreTable, 2), 65536u);
}

TEST_F(HighScoresTest, NothingIsPlacedForZeroOrFromTheMenu) {
    const HighScoreTable before = highScoreTable;
    FinishGameWith(0);
    EXPECT_EQ(game.entryActive, 0);

    ResetTestGame();
    fromMenu = 1;
    HighScoresFrame();
    EXPECT_EQ(game.entryActive, 0);
    EXPECT_EQ(highScoreTable, before);
}

TEST_F(HighScoresTest, ScoreAboveSixDigitsIsKeptAsTheLargestThatFits) {
    FinishGameWith(1000500);
    EXPECT_EQ(game.entryRow, 0);
    EXPECT_EQ(ReadRowScore(highScoreTable, 0), 999999u);

    // The table stays in order: a later good score still ranks below it.
    ResetTestGame();
    FinishGameWith(150000);
    EXPECT_EQ(game.entryRow, 1);
}

TEST_F(HighScoresTest, TypedNameKeepsTwentySixCharactersAndIgnoresLeadingBlankAndBackspace) {
    FinishGameWith(50000);
    ASSERT_EQ(game.entryRow, 2);

    Type(VK_BACK);   // nothing to delete
    Type(VK_SPACE);  // a name cannot begin with a blank
    EXPECT_EQ(game.entryCursor, 0);
    EXPECT_EQ(Name(highScoreTable, 2), BlankName());

    for (int i = 0; i < 27; ++i) Type('A' + i % 26);
    EXPECT_EQ(game.entryCursor, NAME_LENGTH);
    EXPECT_EQ(std::vector<std::uint8_t>(game.entryName.begin(), game.entryName.end()),
              TypedName("ABCDEFGHIJKLMNOPQRSTUVWXYZ"));

    Type(VK_BACK);
    Type(VK_BACK);
    Type(VK_SPACE);
    Type('7');
    EXPECT_EQ(std::vector<std::uint8_t>(game.entryName.begin(), game.entryName.end()),
              TypedName("ABCDEFGHIJKLMNOPQRSTUVWX 7"));
}

TEST_F(HighScoresTest, HotkeyLettersAreTypedAndTheHotkeysAfterTheScreenSeeThemUp) {
    screenId = HighScores;
    const Settings before = settings;
    FinishGameWith(50000);
    // As the frame loop runs them: the hotkeys after each frame, also while the key is down.
    for (int vk : {'P', 'M', 'N', 'R'}) {
        ScriptKey(vk, true);
        HighScoresFrame();
        HandleHotkeys();
        ScriptKey(vk, false);
        HighScoresFrame();
        HandleHotkeys();
    }
    EXPECT_EQ(shell.Paused, 0);
    EXPECT_EQ(settings.musicOn, before.musicOn);
    EXPECT_EQ(settings.soundOn, before.soundOn);
    EXPECT_EQ(settings.rotateReversed, before.rotateReversed);
    EXPECT_EQ(std::vector<std::uint8_t>(game.entryName.begin(), game.entryName.end()),
              TypedName("PMNR"));

    // Leaving while a letter is still held: the key is a hotkey again.
    ScriptKey('P', true);
    HighScoresFrame();
    ScriptKey(VK_ESCAPE, true);
    HighScoresFrame();
    ASSERT_EQ(screenId, MainMenu);
    HandleHotkeys();
    EXPECT_EQ(shell.Paused, 1);
}

TEST_F(HighScoresTest, HeldEnterEndsTheEntryOnceAndStoresTheName) {
    FinishGameWith(50000);
    Type('J');
    Type('O');
    ScriptKey(VK_RETURN, true);
    HighScoresFrame();
    EXPECT_EQ(game.entryActive, 0);
    EXPECT_EQ(game.entryCursor, 0);
    EXPECT_EQ(Name(highScoreTable, 2), TypedName("JO"));

    // Still held: nothing more happens, and the stored file already has the name.
    const HighScoreTable afterEntry = highScoreTable;
    HighScoresFrame();
    EXPECT_EQ(highScoreTable, afterEntry);
    const auto stored = ReadSmallFile(StoredFile().string(), HIGH_SCORE_TABLE_SIZE);
    ASSERT_TRUE(stored.has_value());
    EXPECT_TRUE(std::equal(stored->begin(), stored->end(), afterEntry.begin(), afterEntry.end()));
}

// Typing fast right after the score was placed: the first key goes down and up again before
// the keys are next read (the frame that placed the score was still storing the table when
// it was pressed). It is typed all the same, before the key held at the next read, and so is
// a later key that came and went between two frames.
TEST_F(HighScoresTest, KeysPressedAndReleasedBetweenTwoReadsAreTypedInTheirOrder) {
    FinishGameWith(70000);
    ASSERT_EQ(game.entryActive, 1);
    ScriptKey('2', true);
    ScriptKey('2', false);
    ScriptKey('7', true);
    HighScoresFrame();
    HighScoresFrame();
    ScriptKey('7', false);
    HighScoresFrame();
    ScriptKey('W', true);
    ScriptKey('W', false);
    HighScoresFrame();
    HighScoresFrame();  // nothing more to take
    ScriptKey(VK_RETURN, true);
    HighScoresFrame();
    EXPECT_EQ(Name(highScoreTable, game.entryRow), TypedName("27W"));

    // A press that was over before the score was placed types nothing.
    ResetTestGame();
    ScriptReleaseAllKeys();
    ScriptKey('Q', true);
    ScriptKey('Q', false);
    FinishGameWith(70000);
    HighScoresFrame();
    EXPECT_EQ(game.entryCursor, 0);
}

// A key held for a long while, with the system repeating it all along, types its character
// once: a letter, a blank and a Backspace alike.
TEST_F(HighScoresTest, HeldKeyTypesOnceWhileTheSystemRepeatsIt) {
    FinishGameWith(50000);
    ASSERT_EQ(game.entryActive, 1);
    for (const int vk : {int{'A'}, VK_SPACE, VK_BACK, int{'B'}, VK_SPACE, int{'4'}}) {
        PlaySteps(Held(vk, 40));
    }
    EXPECT_EQ(game.entryActive, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(game.entryName.begin(), game.entryName.end()),
              TypedName("AB 4"));
}

// Rolling from one key to the next (the second goes down before the first is let go) types
// both, once each, in the order they were pressed: also when the second is a lower key, and
// when it comes and goes while the first is still held.
TEST_F(HighScoresTest, RolledOverKeysAreEachTypedOnceInTheOrderPressed) {
    FinishGameWith(50000);
    ASSERT_EQ(game.entryActive, 1);
    // The system repeats the last key pressed while it is held.
    PlaySteps({{'A', true}, {'B', true}, {'B', true}, {'A', false}, {'B', true}, {'B', false}});
    PlaySteps({{'Z', true}, {'C', true}, {'C', true}, {'Z', false}, {'C', true}, {'C', false}});
    PlaySteps({{'K', true}, {'2', true}, {'2', false}, {'K', false}});
    EXPECT_EQ(game.entryActive, 1);
    EXPECT_EQ(std::vector<std::uint8_t>(game.entryName.begin(), game.entryName.end()),
              TypedName("ABZCK2"));
}

TEST_F(HighScoresTest, LeavingWhileTypingKeepsTheRowWithABlankName) {
    FinishGameWith(50000);
    Type('Z');
    ScriptKey(VK_ESCAPE, true);
    HighScoresFrame();
    EXPECT_EQ(screenId, MainMenu);
    EXPECT_EQ(ReadRowScore(highScoreTable, 2), 50000u);
    EXPECT_EQ(Name(highScoreTable, 2), BlankName());
    // After a game the menu fades in from black and the game is reset.
    EXPECT_EQ(fade.FadeActive, 1);
    EXPECT_EQ(fade.CurrentBackground, textures.BlackScreen);
    EXPECT_EQ(fade.NextBackground, textures.MenuBackground);
    EXPECT_EQ(game.score, 0u);
    EXPECT_EQ(game.entryActive, 0);
    EXPECT_EQ(game.entryAllowed, 1);
}

TEST_F(HighScoresTest, ClickDuringAFadeDoesNothingThenLeaves) {
    fromMenu = 1;
    fade.FadeActive = 1;
    ScriptKey(VK_LBUTTON, true);
    HighScoresFrame();
    EXPECT_EQ(screenId, HighScores);

    fade.FadeActive = 0;
    const std::uint32_t scoreBefore = game.score;
    HighScoresFrame();
    EXPECT_EQ(screenId, MainMenu);
    // Opened from the menu: the menu picture returns at once, no reset.
    EXPECT_EQ(fade.FadeActive, 0);
    EXPECT_EQ(fade.CurrentBackground, textures.MenuBackground);
    EXPECT_EQ(game.score, scoreBefore);
}

TEST_F(HighScoresTest, StoredTableOutlivesTheRun) {
    FinishGameWith(70000);
    Type('A');
    Type('L');
    ScriptKey(VK_RETURN, true);
    HighScoresFrame();
    const HighScoreTable played = highScoreTable;

    ResetHighScoresStartupState();
    ASSERT_NE(highScoreTable, played);
    LoadHighScores();
    EXPECT_EQ(highScoreTable, played);
    EXPECT_EQ(Name(highScoreTable, 1), TypedName("AL"));
    EXPECT_TRUE(std::filesystem::directory_iterator(StoredFile().parent_path())->path() ==
                StoredFile())
        << "no temporary file is left behind";
}

TEST_F(HighScoresTest, DamagedStoredTableIsIgnored) {
    ASSERT_TRUE(IsValidHighScoreTable(FindResource("TEXT", DEFAULT_HIGH_SCORES_ID)))
        << "the built-in table passes the same checks";
    const HighScoreTable builtIn = BuiltInHighScores();
    HighScoreTable good = builtIn;
    WriteRowScore(good, 0, 654321);
    std::vector<std::uint8_t> goodBytes(good.begin(), good.end());

    const auto loads = [&](const std::vector<std::uint8_t>& bytes) {
        WriteStoredFile(bytes);
        highScoreTable = {};
        LoadHighScores();
        return highScoreTable == good;
    };
    EXPECT_TRUE(loads(goodBytes));

    auto shorter = goodBytes;
    shorter.pop_back();
    auto longer = goodBytes;
    longer.push_back(0x30);
    auto letterInScore = goodBytes;
    letterInScore[34 * 3 + 28] = 'x';
    auto strangeNameCode = goodBytes;
    strangeNameCode[34 * 7 + 4] = 0x41;  // ASCII, not the font's code
    auto brokenRowEnd = goodBytes;
    brokenRowEnd[34 * 2 + 32] = 0;
    auto outOfOrder = goodBytes;  // laid out well, but row 4 beats row 3
    outOfOrder[34 * 4 + 31] = '9';
    for (const auto& bad : {shorter, longer, letterInScore, strangeNameCode, brokenRowEnd,
                            outOfOrder, std::vector<std::uint8_t>{}}) {
        EXPECT_FALSE(loads(bad));
        EXPECT_EQ(highScoreTable, builtIn);
        EXPECT_EQ(ReadSmallFile(StoredFile().string(), 4096), bad) << "kept on disk as it was";
    }

    std::filesystem::remove(StoredFile());
    std::filesystem::create_directory(StoredFile());  // a folder where the file should be
    highScoreTable = {};
    LoadHighScores();
    EXPECT_EQ(highScoreTable, builtIn);
}

TEST_F(HighScoresTest, WindowCloseEndsTheWaitForAHeldKeyAndStaysQueued) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    ASSERT_EQ(SDL_PushEvent(&quit), 1);

    ScriptKey('Q', true);  // nobody lets go of the key
    EXPECT_EQ(ReadEntryKey(), 'Q');
    SDL_Event left{};
    EXPECT_EQ(SDL_PeepEvents(&left, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT), 1)
        << "the frame loop still gets the close";

    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

}  // namespace
