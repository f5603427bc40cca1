#include "platform/renderer_choice.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/xlib_link.h"

namespace {

constexpr const char* RENDER_NODE_FOLDER = "/dev/dri";
constexpr std::string_view RENDER_NODE_PREFIX = "renderD";
// NVIDIA's own driver draws through this device, whether or not it also made a render node.
constexpr const char* NVIDIA_CONTROL_DEVICE = "/dev/nvidiactl";

bool MayOpen(const char* path) { return access(path, R_OK | W_OK) == 0; }

// How the display lets the game draw on a GPU itself, as far as can be told without loading an
// OpenGL driver.
enum class DirectRendering {
    Unknown,          // not an X11 window: a device the game may open is what counts
    Absent,           // an X server without it (Xvfb, Xvnc, a display across the network)
    OwnDevice,        // the game opens the GPU's device itself (DRI2, NVIDIA's GLX)
    ServerHandsOver,  // the X server hands its GPU's device over (DRI3)
};

#if defined(SDL_VIDEO_DRIVER_X11)
DirectRendering DisplayDirectRendering(SDL_Window* window) {
    const XlibLink xlib(window);
    const auto queryExtension = xlib.Find<decltype(&XQueryExtension)>("XQueryExtension");
    if (queryExtension == nullptr) return DirectRendering::Unknown;
    const auto offers = [&](const char* extension) {
        int opcode = 0, firstEvent = 0, firstError = 0;
        return queryExtension(xlib.display, extension, &opcode, &firstEvent, &firstError) != 0;
    };
    if (offers("DRI3")) return DirectRendering::ServerHandsOver;
    if (offers("DRI2") || offers("NV-GLX")) return DirectRendering::OwnDevice;
    return DirectRendering::Absent;
}
#else
DirectRendering DisplayDirectRendering(SDL_Window*) { return DirectRendering::Unknown; }
#endif

// Whether a GPU may draw for this window. The questions go to the file system and the X
// server, so no OpenGL library is loaded to answer them.
bool GpuWithinReach(SDL_Window* window) {
    switch (DisplayDirectRendering(window)) {
        case DirectRendering::Absent:
            return false;
        case DirectRendering::ServerHandsOver:
            return true;
        case DirectRendering::Unknown:
        case DirectRendering::OwnDevice:
            break;
    }
    return RenderNodeWithinReach(RENDER_NODE_FOLDER) || MayOpen(NVIDIA_CONTROL_DEVICE);
}

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

bool RenderNodeWithinReach(const char* folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.path().filename().string().starts_with(RENDER_NODE_PREFIX) &&
            MayOpen(entry.path().c_str())) {
            return true;
        }
    }
    return false;
}

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
