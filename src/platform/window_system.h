#pragma once

#include <cstdint>

struct SDL_Window;

// What the window does differently on Linux, on Windows and in a browser tab.

// Before SDL's video starts. On Linux, without an X or Wayland display only the console's own
// graphics can serve; on Windows the window class is named "Plemby!", as a second copy looks
// for it, and the window follows each monitor's DPI.
void ChooseVideoDriver();
// Flags the window is made with beside those of every system.
std::uint32_t SystemWindowFlags();
// Where a window goes when it leaves full screen.
void PlaceWindowed(SDL_Window* window, int width, int height);
// The size of a window of width x height back-buffer pixels on the screen that shows window: as
// it stands on Linux and in a browser; on Windows scaled to the screen's DPI, and within its
// work area.
void WindowedSize(SDL_Window* window, int& width, int& height);
