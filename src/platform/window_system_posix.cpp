#include "platform/window_system.h"

#include <SDL.h>

namespace {
// Where a window that leaves full screen goes.
constexpr int WINDOWED_X = 64;
constexpr int WINDOWED_Y = 64;
}  // namespace

void ChooseVideoDriver() {
    // Without an X or Wayland display only the console's own graphics can serve; trying the
    // others would just fill the terminal with their complaints.
    if (SDL_getenv("SDL_VIDEODRIVER") == nullptr && SDL_getenv("DISPLAY") == nullptr &&
        SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "KMSDRM");
    }
}

std::uint32_t SystemWindowFlags() { return 0; }

void PlaceWindowed(SDL_Window* window, int width, int height) {
    SDL_SetWindowSize(window, width, height);
    SDL_SetWindowPosition(window, WINDOWED_X, WINDOWED_Y);
}

void WindowedSize(SDL_Window*, int&, int&) {}
