// The cost of drawing one frame with the software renderer (the slowest the game may get):
// the background cross-fade, a full well of tiles, the panels and the counters.
#include <benchmark/benchmark.h>

#include "app/load_resources.h"
#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "gfx/font.h"
#include "gfx/sprites.h"
#include "gfx/textures.h"
#include "headless.h"
#include "platform/sdl_renderer.h"

namespace {

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

void BM_PlayFrameWithFade(benchmark::State& state) {
    static Headless headless;
    if (TextureWidth(textures.LevelBackground[0]) == 0 || TextureWidth(textures.SpriteSheet) == 0) {
        state.SkipWithError("the pictures are not built in");
        return;
    }
    for (auto _ : state) {
        fade.CurrentBackground = textures.LevelBackground[0];
        fade.NextBackground = textures.LevelBackground[1];
        fade.FadeActive = 1;
        fade.FadeAlpha = 128;
        DrawPlayLikeFrame();
    }
    state.SetLabel(RendererOpen() ? "software renderer" : "no renderer");
}
BENCHMARK(BM_PlayFrameWithFade)->Unit(benchmark::kMillisecond);

void BM_PresentFrame(benchmark::State& state) {
    static Headless headless;
    if (!RendererOpen()) {
        state.SkipWithError("no renderer");
        return;
    }
    for (auto _ : state) PresentFrame();
}
BENCHMARK(BM_PresentFrame)->Unit(benchmark::kMillisecond);

}  // namespace
