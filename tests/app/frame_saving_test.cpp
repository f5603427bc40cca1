#include <SDL.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "app/shell.h"
#include "app/shell_testing.h"
#include "common/random.h"
#include "game/game_state.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/sdl_renderer.h"
#include "screens/high_scores.h"
#include "screens/menu_controls.h"
#include "screens/menu_controls_testing.h"
#include "screens/navigation.h"
#include "support/render_fixture.h"
#include "support/test_game.h"

namespace {

constexpr std::int64_t FRAME_MS = 20;

// The game's own pictures and screens, run through the frame function with scripted input;
// every frame's window is kept as a checksum of its pixels.
class FrameSavingTest : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        if (HasFatalFailure()) return;
        LoadTextures();
    }

    // What the player sees: the window's pixels after the frame, folded into one number.
    std::size_t WindowChecksum() {
        SDL_Renderer* renderer = SDL_GetRenderer(window);
        SDL_Texture* target = SDL_GetRenderTarget(renderer);
        SDL_SetRenderTarget(renderer, nullptr);
        int w = 0, h = 0;
        SDL_GetRendererOutputSize(renderer, &w, &h);
        windowPixels.resize(static_cast<std::size_t>(w) * h + 2);
        windowPixels[0] = static_cast<std::uint32_t>(w);
        windowPixels[1] = static_cast<std::uint32_t>(h);
        SDL_RenderReadPixels(renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, windowPixels.data() + 2,
                             w * 4);
        SDL_SetRenderTarget(renderer, target);
        return std::hash<std::string_view>{}(std::string_view(
            reinterpret_cast<const char*>(windowPixels.data()), windowPixels.size() * 4));
    }

    void Frames(int count) {
        for (int i = 0; i < count; ++i) {
            RunFrame();
            seen.push_back(WindowChecksum());
            presented.push_back(FramesPresented());
            AdvanceManualClock(FRAME_MS);
        }
    }
    void Tap(int vk) {
        ScriptKey(vk, true);
        Frames(1);
        ScriptKey(vk, false);
    }
    // The pointer comes to rest over the place for a frame, then the button goes down.
    void ClickAt(int x, int y) {
        ScriptPointer(x, y);
        Frames(1);
        Tap(VK_LBUTTON);
    }

    // From the title's fade through the menu, the options and a game with a level-up to a
    // pause, as a player would go; the same road every time.
    std::vector<std::size_t> Road(bool saving) {
        SetFrameSaving(saving);
        seen.clear();
        presented.clear();
        ResetProgramState();
        SeedRandom(7);
        UseManualClock(1000000);
        ScriptReleaseAllKeys();
        ScriptPointer(1000, 760);
        fade.CurrentBackground = textures.BlackScreen;
        fade.NextBackground = textures.TitleBackground;
        fade.FadeActive = 1;
        fade.FadeAlpha = 0;
        fade.LastFadeStep = 0;
        screenId = Title;

        Frames(80);  // the title fades in, then stands still
        Tap(VK_SPACE);
        Frames(70);
        ScriptPointer(480, 330);  // over "start", then off it again
        Frames(10);
        ScriptPointer(500, 500);
        Frames(10);
        ClickAt(200, 573);  // options, fading in from black
        Frames(70);
        ClickAt(966, 288);  // music volume up
        Frames(5);
        ClickAt(920, 208);  // sound effects off
        Frames(5);
        ClickAt(920, 128);  // full screen and back
        Frames(5);
        ClickAt(920, 128);
        ScriptPointer(200, 300);
        Frames(10);
        Tap(VK_ESCAPE);
        Frames(5);
        ClickAt(478, 334);  // start
        Frames(3);
        // The next lock fills the tenth line: the level rises and the picture fades.
        game.lines = 9;
        for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c)
            game.well[LAST_VISIBLE_ROW][c] = 1;
        ScriptKey(VK_DOWN, true);
        for (int i = 0; i < 400 && game.level < 2; ++i) Frames(1);
        ScriptKey(VK_DOWN, false);
        EXPECT_EQ(game.level, 2) << "the road reaches a level-up";
        Frames(70);
        Tap('P');
        Frames(10);
        Tap('P');
        Frames(10);
        return seen;
    }

    std::vector<std::size_t> seen;
    std::vector<std::uint64_t> presented;  // the presents so far, after each frame
    std::vector<std::uint32_t> windowPixels;
};

TEST_F(FrameSavingTest, EveryFrameShowsTheSamePictureWithUnchangedFramesLeftOut) {
    const std::vector<std::size_t> drawn = Road(false);
    const std::vector<std::uint64_t> presentedDrawingAll = presented;
    const std::vector<std::size_t> saved = Road(true);

    ASSERT_EQ(saved.size(), drawn.size());
    for (std::size_t i = 0; i < drawn.size(); ++i) ASSERT_EQ(saved[i], drawn[i]) << "frame " << i;
    // Drawing all, every frame that runs is presented; saving, the title and the menu standing
    // still (frames 65 to 79 and 146 to 150) are not.
    EXPECT_EQ(presentedDrawingAll[79] - presentedDrawingAll[64], 15u);
    EXPECT_EQ(presented[79] - presented[64], 0u);
    EXPECT_EQ(presented[150] - presented[145], 0u);
    EXPECT_LT(presented.back() - presented.front(),
              presentedDrawingAll.back() - presentedDrawingAll.front());
}

}  // namespace
