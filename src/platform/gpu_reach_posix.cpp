#include <unistd.h>

#include <filesystem>
#include <string_view>

#include "platform/gpu_reach.h"
#include "platform/renderer_choice.h"
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

}  // namespace

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

