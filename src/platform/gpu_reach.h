#pragma once

#include <SDL.h>

// Whether a GPU may draw for this window, asked without loading an OpenGL driver: on Linux the
// X server and the GPU's device files are asked; Windows always has Direct3D, and where it
// cannot draw SDL falls back to its software renderer by itself.
bool GpuWithinReach(SDL_Window* window);
