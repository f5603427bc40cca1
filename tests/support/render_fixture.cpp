#include "support/render_fixture.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdlib>

#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "platform/clock.h"
#include "platform/clock_testing.h"
#include "platform/sdl_renderer.h"
#include "platform/sdl_window.h"

void RenderTest::SetUp() {
    // The tests draw with the software renderer; without this the offscreen driver probes
    // Mesa's EGL, which leaks while it does.
    SDL_setenv("SDL_VIDEO_EGL_DRIVER", "none", 0);
    SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    window = SDL_CreateWindow("Plemby! test", 0, 0, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT,
                              SDL_WINDOW_HIDDEN);
    ASSERT_NE(window, nullptr) << SDL_GetError();
    ASSERT_TRUE(OpenRenderer(window, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT));
    UseManualClock(1000000);
}

void RenderTest::TearDown() {
    ReleaseGraphics();
    if (window) SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

std::vector<std::uint8_t> MakePng(int w, int h,
                                  const std::function<std::uint32_t(int, int)>& pixel) {
    SDL_Surface* s = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!s) return {};
    for (int y = 0; y < h; ++y) {
        auto* row =
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(s->pixels) + y * s->pitch);
        for (int x = 0; x < w; ++x) row[x] = pixel(x, y);
    }
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * h * 5 + 65536);
    SDL_RWops* rw = SDL_RWFromMem(bytes.data(), static_cast<int>(bytes.size()));
    const bool saved = rw && IMG_SavePNG_RW(s, rw, 0) == 0;
    const Sint64 size = rw ? SDL_RWtell(rw) : 0;
    if (rw) SDL_RWclose(rw);
    SDL_FreeSurface(s);
    if (!saved || size <= 0) return {};
    bytes.resize(static_cast<std::size_t>(size));
    return bytes;
}

Texture* SolidTexture(std::uint32_t argb, int w, int h) {
    return CreateImageTexture(MakePng(w, h, [argb](int, int) { return argb; }), 0, 0, false);
}
