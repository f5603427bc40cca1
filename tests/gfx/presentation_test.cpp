#include <SDL.h>

#include <cstdlib>
#include <functional>

#include "gfx/back_buffer.h"
#include "platform/keys.h"
#include "platform/keys_testing.h"
#include "platform/render_hooks.h"
#include "platform/sdl_renderer.h"
#include "platform/sdl_window.h"
#include "platform/window.h"
#include "support/render_fixture.h"

namespace {

constexpr std::uint32_t RED = 0xFFFF0000;
constexpr std::uint32_t BLACK = 0xFF000000;

// One pixel of what the window shows after the last present.
std::uint32_t WindowPixel(SDL_Window* window, int x, int y) {
    SDL_Renderer* renderer = SDL_GetRenderer(window);
    SDL_Texture* target = SDL_GetRenderTarget(renderer);
    SDL_SetRenderTarget(renderer, nullptr);
    std::uint32_t pixel = 0;
    const SDL_Rect one{x, y, 1, 1};
    SDL_RenderReadPixels(renderer, &one, SDL_PIXELFORMAT_ARGB8888, &pixel, 4);
    SDL_SetRenderTarget(renderer, target);
    return pixel;
}

using PresentationTest = RenderTest;

TEST_F(PresentationTest, PictureAndPointerFollowTheLetterboxOfAnyWindowSize) {
    StopInputScript();
    const struct {
        int w, h;
        SDL_Rect picture;  // where the back buffer lands in the window
        int mouseX, mouseY;
        int x, y;
    } cases[] = {
        {2048, 768, {512, 0, 1024, 768}, 512 + 100, 50, 100, 50},   // bars left and right
        {1024, 1536, {0, 384, 1024, 768}, 100, 384 + 50, 100, 50},  // bars above and below
        {512, 384, {0, 0, 512, 384}, 50, 25, 100, 50},              // half size, no bars
        {2048, 1536, {0, 0, 2048, 1536}, 2047, 1535, 1023, 767},    // double size, far corner
        {1280, 1024, {0, 32, 1280, 960}, 1279, 32, 1023, 0},        // a common desktop
        {1024, 768, {0, 0, 1024, 768}, 1, 2, 1, 2},
    };
    for (const auto& c : cases) {
        SDL_SetWindowSize(window, c.w, c.h);
        ClearBackBufferPixels(RED);
        PresentFrame();
        // The picture's corners, and the bars just beside it where there are bars.
        const SDL_Rect& p = c.picture;
        const struct {
            int x, y;
            std::uint32_t colour;
        } probes[] = {
            {p.x, p.y, RED},         {p.x + p.w - 1, p.y + p.h - 1, RED},
            {p.x - 1, p.y, BLACK},   {p.x, p.y - 1, BLACK},
            {p.x + p.w, p.y, BLACK}, {p.x, p.y + p.h, BLACK},
        };
        for (const auto& probe : probes) {
            if (probe.x < 0 || probe.y < 0 || probe.x >= c.w || probe.y >= c.h) continue;
            EXPECT_EQ(WindowPixel(window, probe.x, probe.y), probe.colour)
                << c.w << " x " << c.h << " at " << probe.x << ", " << probe.y;
        }

        SDL_WarpMouseInWindow(window, c.mouseX, c.mouseY);
        SDL_PumpEvents();
        const PointerPos pointer = GetPointerPos();
        EXPECT_EQ(pointer.x, c.x) << c.w << " x " << c.h;
        EXPECT_EQ(pointer.y, c.y) << c.w << " x " << c.h;
    }
}

// A frame equal to the one in the window is neither drawn nor presented, unless something
// between them may have spoilt the picture; then it is drawn and presented in full once.
TEST_F(PresentationTest, AStillPictureIsPresentedOnceAndAgainAfterAnythingThatMaySpoilIt) {
    Texture* red = SolidTexture(RED, 4, 4);
    Texture* snapshot = CreateTargetTexture(BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
    int redX = 10;
    const auto frame = [&] {
        ClearBackBufferPixels(BLACK);
        DrawTextureFullScreen(snapshot, 128);
        DrawTexture(red, nullptr, static_cast<float>(redX), 10, 0xFFFFFFFF);
        PresentFrame();
    };
    const auto pushWindowEvent = [&](Uint8 what) {
        SDL_Event event{};
        event.type = SDL_WINDOWEVENT;
        event.window.event = what;
        event.window.windowID = SDL_GetWindowID(window);
        SDL_PushEvent(&event);
        while (PumpOneEvent()) {
        }
    };
    const struct {
        const char* what;
        std::function<void()> between;
        int presents;  // of the next frame
    } cases[] = {
        {"nothing", [] {}, 0},
        {"the pointer enters, the focus moves",
         [&] {
             pushWindowEvent(SDL_WINDOWEVENT_ENTER);
             pushWindowEvent(SDL_WINDOWEVENT_FOCUS_GAINED);
         },
         0},
        {"exposed", [&] { pushWindowEvent(SDL_WINDOWEVENT_EXPOSED); }, 1},
        {"resized", [&] { SDL_SetWindowSize(window, 800, 600); }, 1},
        {"resized back", [&] { SDL_SetWindowSize(window, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT); },
         1},
        {"targets reset", [] { OnRenderReset(false); }, 1},
        {"device reset", [] { OnRenderReset(true); }, 1},
        {"a picture drawn into", [&] { CopyBackBufferInto(snapshot); }, 1},
        {"a sprite moved", [&] { redX = 20; }, 1},
        {"saving turned off", [] { SetFrameSaving(false); }, 2},
    };
    // The window's own events from its making are taken first.
    while (PumpOneEvent()) {
    }
    frame();
    for (const auto& c : cases) {
        c.between();
        const std::uint64_t before = FramesPresented();
        frame();
        frame();
        EXPECT_EQ(FramesPresented() - before, static_cast<std::uint64_t>(c.presents)) << c.what;
        int w = 0, h = 0;
        SDL_GetWindowSize(window, &w, &h);
        if (w == BACK_BUFFER_WIDTH) {
            EXPECT_EQ(WindowPixel(window, redX + 1, 11), RED) << c.what;
        }
    }
    // A snapshot taken inside a frame shows that frame's picture so far.
    SetFrameSaving(true);
    const std::uint64_t before = FramesPresented();
    ClearBackBufferPixels(BLACK);
    DrawTexture(red, nullptr, 100, 100, 0xFFFFFFFF);
    CopyBackBufferInto(snapshot);
    ClearBackBufferPixels(BLACK);
    DrawTextureFullScreen(snapshot, 255);
    PresentFrame();
    EXPECT_EQ(FramesPresented() - before, 1u);
    EXPECT_EQ(WindowPixel(window, 101, 101), RED);
    EXPECT_EQ(WindowPixel(window, 99, 99), BLACK);
}

}  // namespace

namespace {

TEST(FullScreenSwitch, GoesToDesktopFullScreenAndBackToAWindowAtSixtyFour) {
    SDL_setenv("SDL_VIDEO_EGL_DRIVER", "none", 0);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    ASSERT_TRUE(CreateGameWindow(false));
    ASSERT_TRUE(CreateRenderer(BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, 0));
    SDL_Window* window = GameSdlWindow();

    EXPECT_EQ(ToggleFullscreen(0), 1);
    EXPECT_NE(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    EXPECT_EQ(ToggleFullscreen(1), 0);
    EXPECT_EQ(SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
    int x = 0, y = 0, w = 0, h = 0;
    SDL_GetWindowPosition(window, &x, &y);
    SDL_GetWindowSize(window, &w, &h);
    EXPECT_EQ(x, 64);
    EXPECT_EQ(y, 64);
    EXPECT_EQ(w, BACK_BUFFER_WIDTH);
    EXPECT_EQ(h, BACK_BUFFER_HEIGHT);
    // Any nonzero stored flag counts as full screen.
    EXPECT_EQ(ToggleFullscreen(5), 0);

    ReleaseGraphics();
    DestroyGameWindow();
}

}  // namespace
