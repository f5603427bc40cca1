// Every test runs headless, whatever the desktop it is started from: SDL's offscreen video,
// its dummy audio and the software renderer, with no display to find. Set before main, so
// before anything can start SDL, and inherited by the game processes some tests start.
// Every test also starts from the program's start-up state, whatever an earlier test in the
// same process (and in any order) left behind.
#include <gtest/gtest.h>

#include "app/shell.h"
#include "app/shell_testing.h"
#include "platform/touch_testing.h"
#include "support/portable.h"

namespace {

class FreshProgramState : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        CloseAndResetProgram();
        StopTouchScript();
    }
};

struct HeadlessEnvironment {
    HeadlessEnvironment() {
        SetEnvironment("SDL_VIDEODRIVER", "offscreen");
        SetEnvironment("SDL_AUDIODRIVER", "dummy");
        SetEnvironment("SDL_RENDER_DRIVER", "software");
        SetEnvironment("DISPLAY", nullptr);
        SetEnvironment("WAYLAND_DISPLAY", nullptr);
        // As in the game: the rules read the platform clock (the tests that script it set the
        // manual clock there) and the high-score screen stores its table.
        ConnectLiveServices();
        ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProgramState);
    }
};

const HeadlessEnvironment headless;

}  // namespace
