#pragma once

#include <cstdint>

// The 1024 x 768 back buffer and its presentation in the window.
constexpr int BACK_BUFFER_WIDTH = 1024;
constexpr int BACK_BUFFER_HEIGHT = 768;

bool CreateRenderer(int width, int height, std::uint8_t fullscreen);
// Clears the back buffer to opaque black; the frame's drawing follows.
void ClearBackBuffer();
// Shows the back buffer in the window, scaled with its aspect kept, without waiting for the
// vertical retrace.
void PresentFrame();
// Switches between a window and desktop full screen; returns the new flag (0 or 1).
std::uint8_t ToggleFullscreen(std::uint8_t current);
// Releases every texture, the targets and the renderer (shutdown).
void ReleaseGraphics();
