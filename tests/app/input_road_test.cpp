// Whole roads through the game without the mouse: one with game controllers only, one with the
// keyboard only, and the touch controls beside them. Each frame runs as the frame loop runs it: pending events first, then the
// frame with its hotkeys.
#include <algorithm>
#include <filesystem>

#include "app/bindings_store_testing.h"
#include "app/high_score_store.h"
#include "app/shell.h"
#include "common/bindings.h"
#include "common/random.h"
#include "common/settings.h"
#include "gfx/fade.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/controllers.h"
#include "platform/controllers_testing.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/touch_testing.h"
#include "platform/window.h"
#include "screens/demo.h"
#include "screens/front_end.h"
#include "screens/front_end_fixture.h"
#include "screens/high_scores.h"
#include "screens/menu_controls.h"
#include "support/temp_home.h"
#include "support/test_game.h"

namespace {

constexpr std::int64_t FRAME_MS = 20;
constexpr int PATIENCE_FRAMES = 2000;

class InputRoad : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        if (HasFatalFailure()) return;
        OpenControllers();
        TakeEvents();
        TakeControllerUnplugged();
        ScriptReleaseAllKeys();
        SeedRandom(15);
        ClearTestHome();
        screenId = Title;
        fade.FadeActive = 0;
    }
    void TearDown() override {
        CloseControllers();
        FrontEndTest::TearDown();
    }

    // Runs frames until `done` holds, with a generous bound.
    template <typename Done>
    void StepUntil(Done done, const char* what) {
        for (int i = 0; i < PATIENCE_FRAMES && !done(); ++i) Step();
        ASSERT_TRUE(done()) << "waited in vain for " << what;
    }
    void WaitForFade() {
        StepUntil([] { return fade.FadeActive == 0; }, "the fade to end");
    }

    // A press of one frame, then a frame with it released.
    void Tap(int pad, PadInput input) {
        SetVirtualInput(pad, input, true);
        Step();
        SetVirtualInput(pad, input, false);
        Step();
    }

    static std::string NameInRow(int row) {
        const std::uint8_t* name = RowName(highScoreTable, row);
        std::string text;
        for (int i = 0; i < NAME_LENGTH; ++i) {
            const std::uint8_t c = name[i];
            if (c >= FONT_LETTER_A && c < FONT_LETTER_A + 26) {
                text += static_cast<char>('A' + (c - FONT_LETTER_A));
            } else if (c >= '0' && c <= '9') {
                text += static_cast<char>(c);
            } else {
                text += ' ';
            }
        }
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }

    // A fresh piece of a type that turns, where it enters.
    static void EnterPiece(std::uint8_t type) {
        game.currentType = type;
        SetCurrentShape(game, type);
        game.pieceX = ENTRY_COLUMN;
        game.pieceY = ENTRY_ROW;
    }
};

TEST_F(InputRoad, ControllerPlaysAWholeGame) {
    int pad = PlugVirtualController();
    ASSERT_GE(pad, 0);
    Step();
    ASSERT_EQ(OpenControllerCount(), 1);

    // Start leaves the title; on the menu the first push of the D-pad lights START and A starts.
    Tap(pad, PadInput::Start);
    ASSERT_EQ(screenId, MainMenu);
    WaitForFade();
    Tap(pad, PadInput::Down);
    EXPECT_EQ(frontEnd.menuFocus, 0);
    SetVirtualInput(pad, PadInput::A, true);
    Step();
    ASSERT_EQ(screenId, Play);
    EnterPiece(3);
    const PieceMask first = game.currentMask;
    Step(2);
    EXPECT_EQ(game.currentMask, first) << "the A that chose START does not also turn";
    SetVirtualInput(pad, PadInput::A, false);
    Step();

    // Move with the D-pad and the stick, turn both ways, drop softly and hard.
    EnterPiece(3);
    const PieceMask entered = game.currentMask;
    Tap(pad, PadInput::Left);
    EXPECT_EQ(game.pieceX, ENTRY_COLUMN - 1);
    Step(settings.moveRepeat);
    SetVirtualStick(pad, 30000, 2000);
    Step();
    SetVirtualStick(pad, 0, 0);
    EXPECT_EQ(game.pieceX, ENTRY_COLUMN);
    Step(settings.rotateRepeat);
    Tap(pad, PadInput::A);
    PieceMask turned = entered;
    TurnClockwise(turned, 3);
    EXPECT_EQ(game.currentMask, turned);
    Tap(pad, PadInput::B);
    EXPECT_EQ(game.currentMask, entered) << "B turns the other way";
    settings.rotateReversed = 1;
    Step(settings.rotateRepeat);
    Tap(pad, PadInput::A);
    turned = entered;
    TurnCounterClockwise(turned, 3);
    EXPECT_EQ(game.currentMask, turned) << "A follows the reversed rotation";
    settings.rotateReversed = 0;
    const std::uint8_t y = game.pieceY;
    const std::uint32_t score = game.score;
    SetVirtualInput(pad, PadInput::Down, true);
    Step();
    SetVirtualInput(pad, PadInput::Down, false);
    EXPECT_EQ(game.pieceY, y + 1);
    EXPECT_EQ(game.score, score + 10);
    SetVirtualInput(pad, PadInput::Up, true);
    Step();
    EXPECT_EQ(game.pieceY, ENTRY_ROW) << "the hard drop locked the piece and the next entered";
    EXPECT_GT(game.score, score + 10);
    SetVirtualInput(pad, PadInput::Up, false);
    Step();

    // Start pauses and resumes; unplugging the controller pauses, and a new one carries on.
    Tap(pad, PadInput::Start);
    EXPECT_EQ(shell.Paused, 1);
    Tap(pad, PadInput::Start);
    EXPECT_EQ(shell.Paused, 0);
    UnplugVirtualController(pad);
    Step();
    EXPECT_EQ(shell.Paused, 1);
    EXPECT_EQ(screenId, Play);
    pad = PlugVirtualController();
    Step();
    ASSERT_EQ(OpenControllerCount(), 1);
    Tap(pad, PadInput::Start);
    EXPECT_EQ(shell.Paused, 0);

    // Hard drops pile the pieces up until the game is over; the score is worth a place.
    game.score = 50000;
    StepUntil(
        [&] {
            if (screenId == Play) Tap(pad, PadInput::Up);
            return screenId != Play;
        },
        "the game to end");
    ASSERT_EQ(screenId, GameOver);
    StepUntil([] { return screenId == HighScores; }, "the high-score screen");
    Step();
    ASSERT_EQ(game.entryActive, 1);
    const int row = game.entryRow;

    // The name with the D-pad: up turns the blank to A and on to B, right moves on; down turns
    // back from the blank to 9; left goes back without erasing; Start ends the name.
    Tap(pad, PadInput::Up);
    Tap(pad, PadInput::Up);
    Tap(pad, PadInput::A);
    Tap(pad, PadInput::Down);
    Tap(pad, PadInput::Right);
    Tap(pad, PadInput::Up);
    Tap(pad, PadInput::Left);
    EXPECT_EQ(game.entryCursor, 1);
    Tap(pad, PadInput::Down);
    Tap(pad, PadInput::Start);
    EXPECT_EQ(game.entryActive, 0);
    EXPECT_EQ(NameInRow(row), "B8A");
    EXPECT_EQ(screenId, HighScores) << "the Start that ended the name does not leave";

    // A leaves, once the fade in has ended.
    WaitForFade();
    Tap(pad, PadInput::A);
    EXPECT_EQ(screenId, MainMenu);
    EXPECT_EQ(NameInRow(row), "B8A");
}

TEST_F(InputRoad, KeyboardAloneFromTitleToExit) {
    // Return leaves the title; Down lights START, Return starts a game; Escape abandons it.
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, MainMenu);
    WaitForFade();
    TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Play);
    TapKey(VK_ESCAPE);
    ASSERT_EQ(screenId, MainMenu);
    WaitForFade();

    // Moving the pointer hands the highlight back to the mouse.
    TapKey(VK_RIGHT);
    EXPECT_EQ(frontEnd.menuFocus, 0);
    PointAt(5, 5);
    Step();
    EXPECT_EQ(frontEnd.menuFocus, NO_FOCUS);

    // Options: Up and Down walk the rows, Left and Right are - and +, Return a switch or button.
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    EXPECT_EQ(frontEnd.menuFocus, 1);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Options);
    WaitForFade();
    for (int i = 0; i < 4; ++i) TapKey(VK_DOWN);
    TapKey(VK_LEFT);
    EXPECT_EQ(settings.musicVolume, 24);
    TapKey(VK_RIGHT);
    TapKey(VK_RIGHT);
    EXPECT_EQ(settings.musicVolume, 25) << "the + keeps the limit";
    TapKey(VK_UP);
    TapKey(VK_RETURN);
    EXPECT_EQ(settings.soundOn, 0);
    TapKey(VK_RIGHT);
    EXPECT_EQ(settings.soundOn, 1);
    for (int i = 0; i < 8; ++i) TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    EXPECT_EQ(settings.rotateReversed, 1);
    TapKey(VK_DOWN);
    TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    EXPECT_EQ(settings.rotateReversed, 0) << "DEFAULT";
    TapKey(VK_UP);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, MainMenu) << "GO BACK";

    // Help: from START, Up goes round to EXIT and on to HELP; Return comes back.
    TapKey(VK_DOWN);
    TapKey(VK_UP);
    TapKey(VK_UP);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Info);
    WaitForFade();
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, MainMenu);

    // A whole game: hard drops until it is over, then a name typed and ended with Return. The
    // Return that ends the name does not leave; the next one does.
    TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Play);
    game.score = 50000;
    StepUntil(
        [&] {
            if (screenId == Play) TapKey(VK_DOWN);
            return screenId != Play;
        },
        "the game to end");
    StepUntil([] { return screenId == HighScores && fade.FadeActive == 0; },
              "the high-score screen");
    const int row = game.entryRow;
    TapKey('K');
    TapKey('B');
    ScriptKey(VK_RETURN, true);
    Step(3);
    EXPECT_EQ(game.entryActive, 0);
    EXPECT_EQ(screenId, HighScores);
    ScriptKey(VK_RETURN, false);
    Step();
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, MainMenu);
    EXPECT_EQ(NameInRow(row), "KB");
    WaitForFade();

    // EXIT by arrows and Return.
    EXPECT_FALSE(TakeQuitRequest());
    TapKey(VK_DOWN);
    TapKey(VK_UP);
    TapKey(VK_RETURN);
    EXPECT_TRUE(TakeQuitRequest());
}

// The CONTROLS screen with the keyboard alone: a hotkey is refused without acting, Escape gives
// up a wait, a key bound elsewhere swaps, DEFAULT puts today's keys back; then turn goes to K,
// a game turns with K and no longer with Up, and the keys are there again after a restart.
TEST_F(InputRoad, KeyboardRebindsTurnAndKeepsItOverARestart) {
    const auto bound = [](int action, int slot) { return SlotValue(bindings, action, slot); };
    screenId = Options;
    TapKey(VK_UP);
    TapKey(VK_UP);  // round from the first row to the last: CONTROLS
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Controls);
    WaitForFade();

    TapKey(VK_DOWN);  // turn, its first key
    TapKey(VK_RETURN);
    ASSERT_TRUE(ControlsScreenTookKeys()) << "waiting for a key";
    TapKey('M');
    EXPECT_EQ(settings.musicOn, 1) << "the hotkey did not act";
    EXPECT_EQ(bound(0, 0), KEY_POSITION_UP) << "a hotkey is not bound";
    TapKey(VK_RETURN);
    TapKey(VK_ESCAPE);
    EXPECT_EQ(screenId, Controls) << "Escape gave up the wait only";
    EXPECT_EQ(bound(0, 0), KEY_POSITION_UP);

    // The second key of turn to Space, which soft drop had: soft drop takes W.
    TapKey(VK_RIGHT);
    TapKey(VK_RETURN);
    TapKey(VK_SPACE);
    EXPECT_EQ(bound(0, 1), KEY_POSITION_SPACE);
    EXPECT_EQ(bound(4, 0), KEY_POSITION_W);
    for (int i = 0; i < 12; ++i) TapKey(VK_DOWN);  // round to DEFAULT
    TapKey(VK_RETURN);
    EXPECT_EQ(bindings, PlayerBindings{});

    // Turn's first key to K; the ghost piece on; GO BACK stores them.
    TapKey(VK_DOWN);
    TapKey(VK_LEFT);
    TapKey(VK_RETURN);
    TapKey('K');
    const int k = bound(0, 0);
    EXPECT_NE(k, KEY_POSITION_UP);
    EXPECT_EQ(VirtualKeyAt(k), 'K');
    for (int i = 0; i < 8; ++i) TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    EXPECT_EQ(bindings.ghostPiece, 1);
    for (int i = 0; i < 3; ++i) TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Options);
    const PlayerBindings chosen = bindings;
    WaitForFade();
    TapKey(VK_ESCAPE);
    ASSERT_EQ(screenId, MainMenu);
    WaitForFade();

    // A game: K turns, Up no longer does, the arrows still shift.
    TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Play);
    EnterPiece(3);
    const PieceMask entered = game.currentMask;
    TapKey(VK_UP);
    EXPECT_EQ(game.currentMask, entered);
    TapKey('K');
    PieceMask turned = entered;
    TurnClockwise(turned, 3);
    EXPECT_EQ(game.currentMask, turned);
    TapKey(VK_LEFT);
    EXPECT_EQ(game.pieceX, ENTRY_COLUMN - 1);
    TapKey(VK_ESCAPE);
    ASSERT_EQ(screenId, MainMenu);

    // The next start reads them back.
    ResetBindings();
    LoadBindings();
    EXPECT_EQ(bindings, chosen);
}

// The CONTROLS screen with a controller alone: hard drop to X, an unplugged controller giving up
// the wait, B going back; then X drops hard in a game and Up no longer does.
TEST_F(InputRoad, ControllerRebindsHardDrop) {
    int pad = PlugVirtualController();
    ASSERT_GE(pad, 0);
    Step();
    screenId = Options;
    Tap(pad, PadInput::Up);
    Tap(pad, PadInput::Up);
    Tap(pad, PadInput::A);
    ASSERT_EQ(screenId, Controls);
    WaitForFade();

    for (int i = 0; i < 6; ++i) Tap(pad, PadInput::Down);  // hard drop
    Tap(pad, PadInput::Left);                              // round to its button
    Tap(pad, PadInput::A);
    ASSERT_TRUE(ControlsScreenTookKeys());
    UnplugVirtualController(pad);
    Step(2);
    EXPECT_FALSE(ControlsScreenTookKeys()) << "the unplugged controller gave up the wait";
    pad = PlugVirtualController();
    Step();
    Tap(pad, PadInput::A);
    ASSERT_TRUE(ControlsScreenTookKeys());
    Tap(pad, PadInput::X);
    EXPECT_EQ(SlotValue(bindings, 5, BUTTON_SLOT), static_cast<int>(PadInput::X));
    EXPECT_EQ(screenId, Controls);
    Tap(pad, PadInput::B);
    ASSERT_EQ(screenId, Options);
    WaitForFade();
    Tap(pad, PadInput::B);
    ASSERT_EQ(screenId, MainMenu);
    WaitForFade();

    Tap(pad, PadInput::Down);
    Tap(pad, PadInput::A);
    ASSERT_EQ(screenId, Play);
    Step();
    EnterPiece(3);
    const std::uint32_t score = game.score;
    Tap(pad, PadInput::Up);
    EXPECT_EQ(game.score, score) << "no hard drop";
    Tap(pad, PadInput::X);
    EXPECT_EQ(game.pieceY, ENTRY_ROW) << "the hard drop locked the piece and the next entered";
    EXPECT_GT(game.score, score);
}

}  // namespace

namespace {

// The title left alone for half a minute shows the CPU player's demo, which plays on the demo's
// own screen, records and stores nothing, and gives way at once to any key: the key goes back to
// the title and does nothing else there (P does not pause, Space does not leave the title) until
// it is let go. A minute ends a demo, and with the switch off the title stays as it is.
TEST_F(InputRoad, TitleLeftAloneShowsTheCpuPlayersDemoUntilAKey) {
    const std::int64_t frames30s = DEMO_IDLE_MS / FRAME_MS;
    Step(static_cast<int>(frames30s) - 5);
    EXPECT_EQ(screenId, Title) << "no demo before half a minute";
    StepUntil([] { return screenId == Demo; }, "the demo");
    const std::uint32_t scoreAtStart = game.score;
    StepUntil([&] { return game.score > scoreAtStart + 50; }, "the CPU player to drop pieces");
    EXPECT_EQ(game.level, 1);

    ScriptKey('P', true);
    Step(2);
    EXPECT_EQ(screenId, Title);
    EXPECT_EQ(shell.Paused, 0) << "the key that ended the demo did not pause";
    ScriptKey(VK_SPACE, true);
    Step(3);
    EXPECT_EQ(screenId, Title) << "keys held over from the demo leave the title alone";
    ScriptKey('P', false);
    ScriptKey(VK_SPACE, false);
    Step();

    // A minute later the next demo is over by itself.
    StepUntil([] { return screenId == Demo; }, "the second demo");
    AdvanceManualClock(DEMO_LENGTH_MS);
    Step(2);
    EXPECT_EQ(screenId, Title);
    EXPECT_FALSE(std::filesystem::exists(TestHomeDir() + "/data/plemby/replays"))
        << "a demo stores no replay";

    bindings.titleDemo = 0;
    Step(static_cast<int>(frames30s) + 50);
    EXPECT_EQ(screenId, Title);
    TapKey(VK_SPACE);
    EXPECT_EQ(screenId, MainMenu);
}

}  // namespace

// On a touch screen the CONTROLS screen offers the switch for the touch controls, which stand
// beside a game only while it is on. A finger on one holds its action as a key would, repeats
// and all; a tap that comes and goes between two frames still holds it for one frame. Without
// a touch screen the screen is as it always was.
TEST_F(InputRoad, TouchControlsStandBesideTheKeys) {
    constexpr int SWITCH_Y = 572;
    const auto switchRowDiffers = [](const std::vector<std::uint32_t>& a,
                                     const std::vector<std::uint32_t>& b) {
        return !std::equal(a.begin() + SWITCH_Y * 1024, a.begin() + (SWITCH_Y + 32) * 1024,
                           b.begin() + SWITCH_Y * 1024);
    };
    screenId = Controls;
    fade.CurrentBackground = textures.LevelBackground[4];
    Step();
    Capture();
    const std::vector<std::uint32_t> withoutTouch = captured;
    ScriptTouchScreen(true);
    Step();
    Capture();
    EXPECT_TRUE(switchRowDiffers(captured, withoutTouch)) << "the switch is offered";
    PointAt(808, SWITCH_Y + 16);
    Press();
    Step();
    Release();
    Step();
    EXPECT_EQ(bindings.touchControls, 0);
    ScriptTouchScreen(false);
    Press();
    Step();
    Release();
    Step();
    EXPECT_EQ(bindings.touchControls, 0) << "the hidden switch takes no click";
    ScriptTouchScreen(true);
    Press();
    Step();
    Release();
    Step();
    EXPECT_EQ(bindings.touchControls, 1);
    PointAt(5, 5);

    screenId = Title;
    TapKey(VK_RETURN);
    WaitForFade();
    EXPECT_FALSE(TouchControlsShown()) << "only beside a game";
    TapKey(VK_DOWN);
    TapKey(VK_RETURN);
    ASSERT_EQ(screenId, Play);
    Step();
    EXPECT_TRUE(TouchControlsShown());

    EnterPiece(3);
    ScriptTouchTap("shift-left");
    Step();
    EXPECT_EQ(game.pieceX, ENTRY_COLUMN - 1) << "a tap between frames counts for one";
    Step(3 * settings.moveRepeat);
    EXPECT_EQ(game.pieceX, ENTRY_COLUMN - 1) << "and for one only";
    ScriptTouchControl("shift-right", true);
    Step(3 * settings.moveRepeat);
    EXPECT_GT(game.pieceX, ENTRY_COLUMN) << "a finger that stays repeats as a key does";
    ScriptTouchControl("shift-right", false);

    ScriptTouchTap("pause");
    Step(2);
    EXPECT_EQ(shell.Paused, 1);
    EXPECT_TRUE(TouchControlsShown()) << "the pause button stays to resume";
    ScriptTouchTap("pause");
    Step(2);
    EXPECT_EQ(shell.Paused, 0);
    bindings.touchControls = 0;
    Step();
    EXPECT_FALSE(TouchControlsShown());
    bindings.touchControls = 1;
    ScriptTouchTap("abandon");
    Step();
    EXPECT_EQ(screenId, MainMenu);
    EXPECT_FALSE(TouchControlsShown());
}
