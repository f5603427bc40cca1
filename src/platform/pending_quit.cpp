#include "platform/pending_quit.h"

#include <SDL.h>

#include <array>

bool QuitPending() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return false;
    SDL_Event quit;
    if (SDL_PeepEvents(&quit, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0) return true;
    std::array<SDL_Event, 64> windowEvents{};
    const int count = SDL_PeepEvents(windowEvents.data(), static_cast<int>(windowEvents.size()),
                                     SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
    for (int i = 0; i < count; ++i) {
        if (windowEvents[static_cast<std::size_t>(i)].window.event == SDL_WINDOWEVENT_CLOSE)
            return true;
    }
    return false;
}
