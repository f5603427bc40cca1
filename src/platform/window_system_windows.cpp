#include <SDL.h>
#include <SDL_main.h>

#include <algorithm>
#include <cmath>

#include "platform/window_system.h"

namespace {
constexpr const char* WINDOW_CLASS = "Plemby!";
// The DPI at which Windows draws one pixel per point.
constexpr float STANDARD_DPI = 96.0f;
}  // namespace

void PrepareVideo() {
    SDL_RegisterApp(WINDOW_CLASS, 0, nullptr);
    SDL_SetHint(SDL_HINT_WINDOWS_DPI_AWARENESS, "permonitorv2");
}

std::uint32_t SystemWindowFlags() { return 0; }

bool WindowedSize(SDL_Window* window, int& width, int& height) {
    const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
    float dpi = 0.0f;
    float scale = 1.0f;
    if (SDL_GetDisplayDPI(display, &dpi, nullptr, nullptr) == 0 && dpi > 0.0f) {
        scale = dpi / STANDARD_DPI;
    }
    SDL_Rect area{};
    if (SDL_GetDisplayUsableBounds(display, &area) == 0 && area.w > 0 && area.h > 0) {
        int top = 0, left = 0, bottom = 0, right = 0;
        SDL_GetWindowBordersSize(window, &top, &left, &bottom, &right);
        const float roomX = static_cast<float>(area.w - left - right) / static_cast<float>(width);
        const float roomY = static_cast<float>(area.h - top - bottom) / static_cast<float>(height);
        scale = std::min({scale, roomX, roomY});
    }
    width = std::max(1, static_cast<int>(std::lround(static_cast<float>(width) * scale)));
    height = std::max(1, static_cast<int>(std::lround(static_cast<float>(height) * scale)));
    return true;
}

// Windows answers the request for full screen itself.
void CoverDisplayIfUnanswered(SDL_Window*) {}
