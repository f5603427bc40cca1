#include "platform/renderer_choice.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "platform/gpu_reach.h"

namespace {

bool IsSoftwareRenderer(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    return SDL_GetRendererInfo(renderer, &info) == 0 && SDL_strcmp(info.name, "software") == 0;
}

// True when the renderer draws through OpenGL that a processor emulates (Mesa's llvmpipe,
// softpipe or swrast): it costs about twice SDL's own software renderer.
bool OnEmulatedOpenGl(SDL_Renderer* renderer) {
    SDL_RendererInfo info{};
    if (SDL_GetRendererInfo(renderer, &info) != 0 || SDL_strncmp(info.name, "opengl", 6) != 0 ||
        SDL_GL_GetCurrentContext() == nullptr) {
        return false;
    }
    using GetString = const unsigned char* (*)(unsigned int);
    constexpr unsigned int GL_RENDERER_NAME = 0x1F01;
    const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    const unsigned char* name = getString ? getString(GL_RENDERER_NAME) : nullptr;
    if (!name) return false;
    std::string lower(reinterpret_cast<const char*>(name));
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* emulated : {"llvmpipe", "softpipe", "swrast"}) {
        if (lower.find(emulated) != std::string::npos) return true;
    }
    return false;
}

SDL_Renderer* CreateAcceleratedRenderer(SDL_Window* window) {
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
}

SDL_Renderer* CreateSoftwareRenderer(SDL_Window* window) {
    // Without this SDL may hand the window's pixels to an OpenGL texture to show them, which on
    // an emulated OpenGL costs more than the drawing; a player's own setting stays.
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    return SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
}

}  // namespace

SDL_Renderer* CreateCheapestRenderer(SDL_Window* window) {
    const char* asked = SDL_GetHint(SDL_HINT_RENDER_DRIVER);
    if (asked && *asked) {
        if (SDL_strcasecmp(asked, "software") == 0) return CreateSoftwareRenderer(window);
        SDL_Renderer* renderer = CreateAcceleratedRenderer(window);
        return renderer ? renderer : CreateSoftwareRenderer(window);
    }
    if (GpuWithinReach(window)) {
        // Only making the renderer tells whether its OpenGL is the GPU's.
        SDL_Renderer* renderer = CreateAcceleratedRenderer(window);
        if (renderer && !IsSoftwareRenderer(renderer) && !OnEmulatedOpenGl(renderer)) {
            return renderer;
        }
        if (renderer) SDL_DestroyRenderer(renderer);
    }
    SDL_Renderer* renderer = CreateSoftwareRenderer(window);
    if (renderer) return renderer;
    // The software renderer could not be had after all: whatever OpenGL there is draws.
    return CreateAcceleratedRenderer(window);
}
