// Every test runs headless, whatever the desktop it is started from: SDL's offscreen video,
// its dummy audio and the software renderer, with no display to find. Set before main, so
// before anything can start SDL, and inherited by the game processes some tests start.
#include <cstdlib>

namespace {

struct HeadlessEnvironment {
    HeadlessEnvironment() {
        setenv("SDL_VIDEODRIVER", "offscreen", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        setenv("SDL_RENDER_DRIVER", "software", 1);
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
    }
};

const HeadlessEnvironment headless;

}  // namespace
