// Every test runs headless, whatever the desktop it is started from: SDL's offscreen video,
// its dummy audio and the software renderer, with no display to find. Set before main, so
// before anything can start SDL, and inherited by the game processes some tests start.
#include <cstdlib>

#include "app/shell.h"

namespace {

struct HeadlessEnvironment {
    HeadlessEnvironment() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("SDL_RENDER_DRIVER", "software", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        // As in the game: the rules read the platform clock (the tests that script it set the
        // manual clock there) and the high-score screen stores its table.
        ConnectLiveServices();
    }
};

const HeadlessEnvironment headless;

}  // namespace
