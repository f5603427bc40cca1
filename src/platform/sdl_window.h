#pragma once

#include <SDL.h>

// The game window for the platform's own use (the renderer); null before CreateGameWindow.
SDL_Window* GameSdlWindow();

// OpenRenderer on a window of the caller's own (tests and benchmarks draw into a hidden one).
bool OpenRenderer(SDL_Window* window, int width, int height);
