#include <SDL.h>

#include "platform/window_system.h"

// The page has one video driver, the canvas; it needs no choosing.
void PrepareVideo() {}

// The canvas fills the tab (the page's style sizes it): it follows the tab's size, and draws
// at the screen's own density so that the picture stays sharp on high-density screens.
std::uint32_t SystemWindowFlags() { return SDL_WINDOW_ALLOW_HIGHDPI; }

// Out of full screen the canvas goes back to filling the tab, as the page's style has it.
bool WindowedSize(SDL_Window*, int&, int&) { return false; }

// The browser itself puts the canvas over the whole screen.
void CoverDisplayIfUnanswered(SDL_Window*) {}
