#pragma once

#include <SDL.h>

// The renderer for the window: the player's SDL_RENDER_DRIVER when set; else the GPU's where one
// is within reach, and SDL's own software renderer where none is or where the GPU's OpenGL turns
// out to be emulated by the processor. Where no GPU is within reach no OpenGL driver is loaded
// at all. Null when no renderer could be made.
SDL_Renderer* CreateCheapestRenderer(SDL_Window* window);

// Whether `folder` (/dev/dri) holds a GPU's render node that this process may open. Display
// controllers without a GPU have only card nodes.
bool RenderNodeWithinReach(const char* folder);
