#pragma once

#include <cstdint>

struct SDL_Window;

// What the window does differently on the desktop and in a browser tab.

// Before SDL's video starts: picks the video driver when the system needs it picked.
void ChooseVideoDriver();
// Flags the window is made with beside those of every system.
std::uint32_t SystemWindowFlags();
// Where a window goes when it leaves full screen.
void PlaceWindowed(SDL_Window* window, int width, int height);
