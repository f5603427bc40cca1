#include "platform/window_system.h"

void PrepareVideo() {
    // Trying the other drivers would just fill the terminal with their complaints.
    if (SDL_getenv("SDL_VIDEODRIVER") == nullptr && SDL_getenv("DISPLAY") == nullptr &&
        SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "KMSDRM");
    }
}

void WindowedSize(SDL_Window*, int&, int&) {}
