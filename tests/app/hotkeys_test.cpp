#include <SDL.h>
#include <gtest/gtest.h>

#include <initializer_list>

#include "app/settings.h"
#include "app/shell.h"
#include "common/bindings.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/window.h"

namespace {

class Hotkeys : public ::testing::Test {
protected:
    void SetUp() override { ScriptReleaseAllKeys(); }

    // One frame's hotkey poll with exactly these keys down.
    static void Poll(std::initializer_list<int> down) {
        ScriptReleaseAllKeys();
        for (int key : down) ScriptKey(key, true);
        HandleHotkeys();
    }
};

TEST_F(Hotkeys, FirstKeyInTableOrderDecides) {
    Poll({VK_F12, 'P'});
    EXPECT_EQ(shell.Paused, 1);

    Poll({});
    Poll({VK_PRIOR, VK_NEXT, VK_ADD});
    EXPECT_EQ(settings.soundVolume, 24);  // Page Down comes before Page Up
    EXPECT_EQ(settings.musicVolume, 25);

    Poll({});
    Poll({'R', 'N', 'M', VK_SUBTRACT});
    EXPECT_EQ(settings.musicVolume, 24);
    EXPECT_EQ(settings.musicOn, 1);
    EXPECT_EQ(settings.soundOn, 1);
    EXPECT_EQ(settings.rotateReversed, 0);

    Poll({});
    Poll({'R', 'N'});
    EXPECT_EQ(settings.soundOn, 0);
    EXPECT_EQ(settings.rotateReversed, 0);
}

TEST_F(Hotkeys, LatchHoldsUntilEveryHotkeyIsUp) {
    Poll({'P'});
    Poll({'P'});
    Poll({'P'});
    EXPECT_EQ(shell.Paused, 1);

    // Another hotkey joins, then the first is let go: still latched while any is down.
    Poll({'P', 'N'});
    Poll({'N'});
    EXPECT_EQ(settings.soundOn, 1);
    EXPECT_EQ(shell.HotkeyLatch, 1);

    // Keys that are not hotkeys do not hold the latch.
    Poll({VK_SPACE, 'A'});
    EXPECT_EQ(shell.HotkeyLatch, 0);
    Poll({'N'});
    EXPECT_EQ(settings.soundOn, 0);
}

TEST_F(Hotkeys, LimitsChangeNothingButStillLatch) {
    settings.soundVolume = 0;
    Poll({VK_NEXT});
    EXPECT_EQ(settings.soundVolume, 0);
    EXPECT_EQ(shell.HotkeyLatch, 1);
    Poll({VK_NEXT, VK_PRIOR});
    EXPECT_EQ(settings.soundVolume, 0);

    Poll({});
    settings.soundVolume = 25;
    Poll({VK_PRIOR});
    EXPECT_EQ(settings.soundVolume, 25);

    Poll({});
    settings.musicVolume = 0;
    Poll({VK_SUBTRACT});
    EXPECT_EQ(settings.musicVolume, 0);
    EXPECT_EQ(shell.HotkeyLatch, 1);

    Poll({});
    settings.musicVolume = 25;
    Poll({VK_ADD});
    EXPECT_EQ(settings.musicVolume, 25);

    Poll({});
    settings.musicVolume = 3;
    Poll({VK_ADD});
    EXPECT_EQ(settings.musicVolume, 4);
}

TEST_F(Hotkeys, MusicSwitchTogglesOnlyZeroToOne) {
    for (const auto& [before, after] : {std::pair{0, 1}, std::pair{1, 0}, std::pair{7, 0}}) {
        Poll({});
        settings.musicOn = static_cast<std::uint8_t>(before);
        Poll({'M'});
        EXPECT_EQ(settings.musicOn, after) << "from " << before;
    }
}

TEST_F(Hotkeys, PauseFreezesTheScreenButHotkeysStillWork) {
    Poll({'P'});
    ASSERT_EQ(shell.Paused, 1);
    screenId = MainMenu;

    ScriptReleaseAllKeys();
    RunFrame();
    ScriptKey('N', true);
    RunFrame();
    EXPECT_EQ(settings.soundOn, 0);
    EXPECT_EQ(screenId, MainMenu);

    ScriptReleaseAllKeys();
    RunFrame();
    ScriptKey('P', true);
    RunFrame();
    EXPECT_EQ(shell.Paused, 0);
}

// The window losing the focus, or being minimised, pauses a game as P does, and only a game;
// getting the focus back does not resume it, P does. With the switch off nothing happens.
TEST_F(Hotkeys, FocusLostPausesAGameUntilPauseIsPressed) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0);
    const auto windowEvent = [](SDL_WindowEventID what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = static_cast<Uint8>(what);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
        while (PumpOneEvent()) {
        }
    };

    // Lost on the menu: the game started afterwards plays on.
    screenId = MainMenu;
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Poll({});
    screenId = Play;
    Poll({});
    EXPECT_EQ(shell.Paused, 0);

    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Poll({});
    EXPECT_EQ(shell.Paused, 1);
    windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
    Poll({});
    Poll({});
    EXPECT_EQ(shell.Paused, 1) << "the focus coming back does not resume the game";
    Poll({'P'});
    EXPECT_EQ(shell.Paused, 0);
    Poll({});

    windowEvent(SDL_WINDOWEVENT_MINIMIZED);
    Poll({});
    EXPECT_EQ(shell.Paused, 1);
    Poll({'P'});
    Poll({});

    bindings.pauseOnFocusLoss = 0;
    windowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Poll({});
    EXPECT_EQ(shell.Paused, 0);
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
}

}  // namespace
