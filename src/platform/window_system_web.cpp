#include "platform/window_system.h"

#include <SDL.h>

// The page has one video driver, the canvas; it needs no choosing.
void ChooseVideoDriver() {}

// The canvas fills the tab (the page's style sizes it): it follows the tab's size, and draws
// at the screen's own density so that the picture stays sharp on high-density screens.
std::uint32_t SystemWindowFlags() { return SDL_WINDOW_ALLOW_HIGHDPI; }

// Out of full screen the canvas goes back to filling the tab, as the page's style has it.
void PlaceWindowed(SDL_Window*, int, int) {}

// The page's canvas takes the size of the back buffer; the browser scales it.
void WindowedSize(SDL_Window*, int&, int&) {}
