#include <SDL.h>

#include "platform/window_system.h"
#include "platform/xlib_link.h"

void PrepareVideo() {
    // Without an X or Wayland display only the console's own graphics can serve; trying the
    // others would just fill the terminal with their complaints.
    if (SDL_getenv("SDL_VIDEODRIVER") == nullptr && SDL_getenv("DISPLAY") == nullptr &&
        SDL_getenv("WAYLAND_DISPLAY") == nullptr) {
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "KMSDRM");
    }
    // Docks and task bars group the window under the desktop entry of the same id: X11 reads it
    // from WM_CLASS, Wayland from the app id. A class set in the environment still wins.
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", PLEMBY_APP_ID, 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", PLEMBY_APP_ID, 0);
}

std::uint32_t SystemWindowFlags() { return 0; }

bool WindowedSize(SDL_Window*, int&, int&) { return true; }

#if defined(SDL_VIDEO_DRIVER_X11)
// Without a window manager nobody answers the request for desktop full screen: SDL then takes
// the window for the display's size while it keeps its old one, and the picture drawn for the
// display is cut off at the right and bottom. A window that did not follow is moved over the
// display here, as a window manager would have done. Xlib is reached through SDL's own copy.
void CoverDisplayIfUnanswered(SDL_Window* window) {
    const XlibLink xlib(window);
    const auto getGeometry = xlib.Find<decltype(&XGetGeometry)>("XGetGeometry");
    const auto moveResize = xlib.Find<decltype(&XMoveResizeWindow)>("XMoveResizeWindow");
    const auto flush = xlib.Find<decltype(&XFlush)>("XFlush");
    SDL_Rect bounds;
    ::Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (getGeometry != nullptr && moveResize != nullptr && flush != nullptr &&
        SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window), &bounds) == 0 &&
        getGeometry(xlib.display, xlib.xWindow, &root, &x, &y, &w, &h, &border, &depth) != 0) {
        if (static_cast<int>(w) != bounds.w || static_cast<int>(h) != bounds.h) {
            moveResize(xlib.display, xlib.xWindow, bounds.x, bounds.y,
                       static_cast<unsigned>(bounds.w), static_cast<unsigned>(bounds.h));
            flush(xlib.display);
        }
    }
}
#else
void CoverDisplayIfUnanswered(SDL_Window*) {}
#endif
