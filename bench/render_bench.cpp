// The cost of one frame with the software renderer (the slowest the game may get), drawn and
// presented: the play screen under a background cross-fade, the title fading in, and a still
// screen whose unchanged frames are left out.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "gfx/font.h"
#include "gfx/sprites.h"
#include "gfx/textures.h"
#include "headless.h"
#include "platform/sdl_renderer.h"

namespace {

constexpr std::uint8_t FADE_STEPS = 63;  // a cross-fade's frames, 4 apart in opacity

// The opacity of the fade's next frame, so that no two frames in a row are the same.
std::uint8_t NextFadeAlpha(int frame) {
    return static_cast<std::uint8_t>(4 * (1 + frame % FADE_STEPS));
}

void DrawPlayLikeFrame() {
    ClearBackBuffer();
    DrawBackground(0);
    BeginSprites();
    DrawSprite(textures.PanelTexture, nullptr, 352, 64, TINT_PANEL);
    for (int row = 0; row < 20; ++row) {
        for (int col = 0; col < 10; ++col) {
            const int tile = 1 + (row + col) % 7;
            const SpriteRect r{32 * tile, 0, 32 * tile + 32, 32};
            DrawSprite(textures.SpriteSheet, &r, 352.0f + 32 * col, 64.0f + 32 * row);
        }
    }
    for (int i = 0; i < 4; ++i) DrawNumber(123456u * static_cast<unsigned>(i), 64, 100 + 64 * i);
    EndSprites();
}

void DrawTitleLikeFrame() {
    ClearBackBuffer();
    DrawBackground(0);
}

// Frames of a cross-fade from one picture to another, each drawn by DRAW and presented. The
// pictures are named by reference: they are loaded only once the renderer is open.
template <void (*DRAW)()>
void RunFade(benchmark::State& state, Texture* const& from, Texture* const& to) {
    if (!OpenHeadless()) {
        state.SkipWithError("no renderer or no pictures");
        return;
    }
    int frame = 0;
    for (auto _ : state) {
        fade.CurrentBackground = from;
        fade.NextBackground = to;
        fade.FadeActive = 1;
        fade.FadeAlpha = NextFadeAlpha(frame++);
        DRAW();
        PresentFrame();
    }
    ResetBackgroundSlots();
    state.SetLabel("software renderer, drawn and presented");
}

void BM_PlayFrameWithFade(benchmark::State& state) {
    RunFade<DrawPlayLikeFrame>(state, textures.LevelBackground[0], textures.LevelBackground[1]);
}
BENCHMARK(BM_PlayFrameWithFade)->Unit(benchmark::kMillisecond);

// The title's fade in from black: the whole frame is the two pictures.
void BM_TitleFadeFrame(benchmark::State& state) {
    RunFade<DrawTitleLikeFrame>(state, textures.BlackScreen, textures.TitleBackground);
}
BENCHMARK(BM_TitleFadeFrame)->Unit(benchmark::kMillisecond);

// The same play frame every time: after the first, each is recorded, found equal to the
// picture in the window and left out.
void BM_StillFrameSaved(benchmark::State& state) {
    if (!OpenHeadless()) {
        state.SkipWithError("no renderer or no pictures");
        return;
    }
    const std::uint64_t presentedBefore = FramesPresented();
    for (auto _ : state) {
        fade.CurrentBackground = textures.LevelBackground[0];
        fade.FadeActive = 0;
        DrawPlayLikeFrame();
        PresentFrame();
    }
    ResetBackgroundSlots();
    state.counters["presented"] = static_cast<double>(FramesPresented() - presentedBefore);
    state.SetLabel("software renderer, unchanged frames left out");
}
BENCHMARK(BM_StillFrameSaved)->Unit(benchmark::kMicrosecond);

void BM_PresentFrame(benchmark::State& state) {
    if (!OpenHeadless()) {
        state.SkipWithError("no renderer or no pictures");
        return;
    }
    // Every frame reaches the window, as if each had changed.
    SetFrameSaving(false);
    for (auto _ : state) PresentFrame();
    SetFrameSaving(true);
}
BENCHMARK(BM_PresentFrame)->Unit(benchmark::kMillisecond);

}  // namespace
