#pragma once

#include <cstdint>
#include <vector>

// The 1024 x 768 back buffer and its presentation in the window.
constexpr int BACK_BUFFER_WIDTH = 1024;
constexpr int BACK_BUFFER_HEIGHT = 768;

// Opens the renderer on the game window: accelerated where the machine has it, software
// otherwise. False when there is no window or no renderer; every drawing call then does
// nothing and the game runs on.
bool CreateRenderer(int width, int height, std::uint8_t fullscreen);
// Clears the back buffer to opaque black; the frame's drawing follows.
void ClearBackBuffer();
// Shows the back buffer in the window, scaled with its aspect kept, without waiting for the
// vertical retrace.
void PresentFrame();
// Switches between a window and desktop full screen; returns the new flag (0 or 1).
std::uint8_t ToggleFullscreen(std::uint8_t current);
// Copies the back buffer as it stands into GameOverSnapshot (the last game picture).
void CopyBackBufferToSnapshot();
// Releases every texture, the targets and the renderer (shutdown).
void ReleaseGraphics();

// The back buffer's pixels as 0xAARRGGBB, row by row (1024 x 768); empty without a
// renderer. For tests and screenshots.
std::vector<std::uint32_t> ReadBackBuffer();
std::uint32_t BackBufferPixel(int x, int y);
