// A paused game keeps its picture: whatever the window goes through while paused, the picture
// before the pause comes back, and a pause the game made itself says how to play on.
#include "app/pause.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/shell.h"
#include "common/bindings.h"
#include "game/game_state.h"
#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "platform/clock_testing.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/sdl_renderer.h"
#include "platform/window.h"
#include "screens/front_end_fixture.h"
#include "screens/play_screen.h"
#include "support/test_game.h"

namespace {

// The band the pause line stands on, and the row of its words.
constexpr int BAND_TOP = 352;
constexpr int BAND_BOTTOM = 416;
constexpr int LINE_Y = 368;

class PauseTest : public FrontEndTest {
protected:
    void SetUp() override {
        FrontEndTest::SetUp();
        if (HasFatalFailure()) return;
        ScriptReleaseAllKeys();
        ResetTestGame();
        screenId = Play;
        fade.FadeActive = 0;
        fade.CurrentBackground = textures.LevelBackground[0];
        TakeEvents();
        TakeFocusLost();
    }

    void WindowEvent(Uint8 what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.windowID = SDL_GetWindowID(window);
        ASSERT_EQ(SDL_PushEvent(&event), 1);
    }

    // The words in the font along the line's row (centred, so its cells start on a multiple of
    // 8), trimmed.
    std::string LineText() {
        Capture();
        std::string text;
        for (int x = 0; x + 16 <= 1024;) {
            const int glyph = GlyphAt(x, LINE_Y);
            if (glyph < 0) {
                x += 8;
                continue;
            }
            constexpr int MINUS_GLYPH = 12;
            if (glyph >= 16 && glyph < 32) {
                text += static_cast<char>('A' + glyph - 16);
            } else if (glyph >= 32 && glyph < 42) {
                text += static_cast<char>('Q' + glyph - 32);
            } else {
                text += glyph == MINUS_GLYPH ? '-' : ' ';
            }
            x += 16;
        }
        const std::size_t first = text.find_first_not_of(' ');
        if (first == std::string::npos) return "";
        return text.substr(first, text.find_last_not_of(' ') - first + 1);
    }

    // True when the pictures differ nowhere outside the band.
    static bool SameOutsideBand(const std::vector<std::uint32_t>& a,
                                const std::vector<std::uint32_t>& b) {
        if (a.size() != b.size() || a.empty()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            const int y = static_cast<int>(i / 1024);
            if ((y < BAND_TOP || y >= BAND_BOTTOM) && a[i] != b[i]) return false;
        }
        return true;
    }
};

TEST_F(PauseTest, APausedPictureComesBackWithTheLineAfterMinimiseResetAndResize) {
    Step(3);
    // The window is left: this frame still plays, then the game pauses itself.
    WindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
    Step();
    ASSERT_EQ(shell.Paused, 1);
    const std::vector<std::uint32_t> frozen = ReadBackBuffer();
    const std::uint64_t presents = FramesPresented();
    Step(3);
    EXPECT_EQ(FramesPresented() - presents, 1u) << "the line is shown once, then nothing";
    const std::vector<std::uint32_t> withLine = ReadBackBuffer();
    EXPECT_TRUE(SameOutsideBand(frozen, withLine));
    EXPECT_NE(frozen, withLine);
    EXPECT_EQ(LineText(), "PAUSED - PRESS P OR START TO PLAY ON");

    // Minimised and restored, the targets reset, the window resized: each time the same picture
    // is presented again, line and all.
    const struct {
        const char* what;
        std::function<void()> happen;
    } disturbances[] = {
        {"minimised and restored",
         [&] {
             WindowEvent(SDL_WINDOWEVENT_MINIMIZED);
             WindowEvent(SDL_WINDOWEVENT_RESTORED);
             WindowEvent(SDL_WINDOWEVENT_EXPOSED);
         }},
        {"targets reset",
         [] {
             SDL_Event event{};
             event.type = SDL_RENDER_TARGETS_RESET;
             SDL_PushEvent(&event);
         }},
        {"resized", [&] { SDL_SetWindowSize(window, 800, 600); }},
        {"resized back", [&] { SDL_SetWindowSize(window, 1024, 768); }},
    };
    for (const auto& d : disturbances) {
        d.happen();
        const std::uint64_t before = FramesPresented();
        Step(2);
        EXPECT_EQ(FramesPresented() - before, 1u) << d.what;
        EXPECT_EQ(ReadBackBuffer(), withLine) << d.what;
        EXPECT_EQ(shell.Paused, 1) << d.what;
    }

    // P plays on: the line is gone with the next frame.
    TapKey('P');
    EXPECT_EQ(shell.Paused, 0);
    EXPECT_EQ(LineText(), "");

    // P's own pause shows no line and presents nothing until the window needs it, then the
    // picture as it stood.
    TapKey('P');
    ASSERT_EQ(shell.Paused, 1);
    const std::vector<std::uint32_t> pausedByP = ReadBackBuffer();
    const std::uint64_t beforeP = FramesPresented();
    Step(3);
    EXPECT_EQ(FramesPresented(), beforeP);
    WindowEvent(SDL_WINDOWEVENT_EXPOSED);
    Step(2);
    EXPECT_EQ(FramesPresented() - beforeP, 1u);
    EXPECT_EQ(ReadBackBuffer(), pausedByP);
    EXPECT_EQ(LineText(), "");
}

// The line names the player's own pause keys and button; P always works.
TEST_F(PauseTest, TheLineNamesThePlayersOwnPauseKeysAndButton) {
    EXPECT_EQ(PauseLineText(), "PAUSED - PRESS P OR START TO PLAY ON");
    BindSlot(bindings, PAUSE_ACTION, 1, KeyPositionNamed("["));
    BindSlot(bindings, PAUSE_ACTION, BUTTON_SLOT, static_cast<int>(PadInput::Y));
    EXPECT_EQ(PauseLineText(), "PAUSED - PRESS P OR LEFT BRACKET OR Y TO PLAY ON");
    BindSlot(bindings, PAUSE_ACTION, 0, KeyPositionNamed("F"));
    SetSlot(bindings, PAUSE_ACTION, BUTTON_SLOT, NO_PAD_INPUT);
    EXPECT_EQ(PauseLineText(), "PAUSED - PRESS P OR F OR LEFT BRACKET TO PLAY ON");
}

}  // namespace
