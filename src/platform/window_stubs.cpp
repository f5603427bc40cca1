// Placeholders until the window lands; the shell replaces them.
#include "platform/sdl_window.h"
#include "platform/window.h"

SDL_Window* GameSdlWindow() { return nullptr; }
void SetWindowFullscreen(bool) {}
