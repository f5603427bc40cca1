#pragma once

#include <SDL.h>

// The game window for the platform's own use (the renderer); null before CreateGameWindow.
SDL_Window* GameSdlWindow();
