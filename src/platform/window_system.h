#pragma once

#include <SDL.h>

// What the window needs of the system it runs on.

// Before SDL's video starts. On Linux, without an X or Wayland display only the console's own
// graphics can serve; on Windows the window class is named "Plemby!", as a second copy looks
// for it, and the window follows each monitor's DPI.
void PrepareVideo();

// The size of a window of width x height back-buffer pixels on the screen that shows window: as
// it stands on Linux; on Windows scaled to the screen's DPI, and within its work area.
void WindowedSize(SDL_Window* window, int& width, int& height);
