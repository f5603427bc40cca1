#pragma once

#include <SDL.h>

#if defined(SDL_VIDEO_DRIVER_X11)
#include <SDL_syswm.h>

// Xlib reached through the copy SDL already loaded, for the few things SDL has no call for.
// Open only while the window is an X11 one; the library is let go when this ends.
class XlibLink {
public:
    explicit XlibLink(SDL_Window* window) {
        SDL_SysWMinfo info;
        SDL_VERSION(&info.version);
        if (window == nullptr || SDL_GetWindowWMInfo(window, &info) != SDL_TRUE ||
            info.subsystem != SDL_SYSWM_X11) {
            return;
        }
        library_ = SDL_LoadObject("libX11.so.6");
        display = info.info.x11.display;
        xWindow = info.info.x11.window;
    }
    ~XlibLink() {
        if (library_ != nullptr) SDL_UnloadObject(library_);
    }
    XlibLink(const XlibLink&) = delete;
    XlibLink& operator=(const XlibLink&) = delete;

    // The named Xlib function as the type of its declaration (decltype(&XFlush)); null when
    // not open or not found.
    template <typename Function>
    Function Find(const char* name) const {
        return library_ != nullptr ? reinterpret_cast<Function>(SDL_LoadFunction(library_, name))
                                   : nullptr;
    }

    Display* display = nullptr;
    ::Window xWindow = 0;

private:
    void* library_ = nullptr;
};

#endif
