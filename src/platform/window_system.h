#pragma once

#include <cstdint>

struct SDL_Window;

// What the window does differently on Linux, on Windows and in a browser tab.

// Before SDL's video starts. On Linux, without an X or Wayland display only the console's own
// graphics can serve, and docks are told the desktop entry the window belongs to; on Windows the
// window class is named "Plemby!", as a second copy looks for it, and the window follows each
// monitor's DPI.
void PrepareVideo();
// Flags the window is made with beside those of every system.
std::uint32_t SystemWindowFlags();
// The size of a window of width x height back-buffer pixels on the screen that shows window: as
// it stands on Linux; on Windows scaled to the screen's DPI, and within its work area. False in a
// browser, where the page sizes the canvas and the game never places it.
bool WindowedSize(SDL_Window* window, int& width, int& height);
// After the window went to desktop full screen, or changed size while there: on Linux without a
// window manager, a window that did not follow is moved over the display; elsewhere nothing.
void CoverDisplayIfUnanswered(SDL_Window* window);
