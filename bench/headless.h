#pragma once

#include <SDL.h>

#include <cstdlib>

#include "gfx/back_buffer.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "platform/sdl_renderer.h"
#include "platform/sdl_window.h"

// A hidden window with the software renderer (the slowest the game may get) and the built-in
// pictures loaded, for benchmarks that draw frames.
struct Headless {
    SDL_Window* window = nullptr;
    Headless() {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_VIDEO_EGL_DRIVER", "none", 0);
        SDL_SetHint(SDL_HINT_RENDER_DRIVER, "software");
        SDL_InitSubSystem(SDL_INIT_VIDEO);
        window = SDL_CreateWindow("Plemby! bench", 0, 0, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT,
                                  SDL_WINDOW_HIDDEN);
        OpenRenderer(window, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
        LoadTextures();
    }
    ~Headless() {
        ReleaseGraphics();
        if (window) SDL_DestroyWindow(window);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    Headless(const Headless&) = delete;
    Headless& operator=(const Headless&) = delete;
};

// One headless renderer for the whole run, made by the first benchmark that draws: opening a
// second would release the pictures the others hold. False without a renderer or pictures.
inline bool OpenHeadless() {
    static Headless headless;
    return RendererOpen() && TextureWidth(textures.SpriteSheet) > 0 &&
           TextureWidth(textures.LevelBackground[0]) > 0;
}
