#include "app/controls_store.h"
#include "app/replays.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/shell_testing.h"
#include "gfx/back_buffer.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "screens/navigation.h"
#include "screens/navigation_testing.h"
#include "sound/sound.h"

namespace {

constexpr std::int64_t FRAME_PERIOD_MS = 20;

struct LoopState {
    bool quitTaken = false;  // the loop ends at its next test
    bool shutDown = false;
};
LoopState loop;

// The answer to a close of the window or a taken quit request: one shutdown, then the loop
// ends without running another frame.
void EndGame() {
    Shutdown();
    loop.quitTaken = true;
}

// A quit request is queued like an event so that the frame that made it runs to its end
// before anything is released.
bool TakeMessage() {
    if (TakeQuitRequest()) {
        EndGame();
        return true;
    }
    return PumpOneEvent();
}

}  // namespace

void Shutdown() {
    if (loop.shutDown) return;
    loop.shutDown = true;
    KeepReplaysAtShutdown();
    ShutdownSound();
    ReleaseGraphics();
    StoreSettings();
    StoreControls();
}

int RunFrameLoop(void (*frame)()) {
    SetQuitHandler(EndGame);
    // The deadline moves by exactly one period per frame and is never set back to the clock:
    // a late frame is followed by frames without sleep until it is ahead again.
    std::int64_t deadline = NowMs();
    while (!loop.quitTaken) {
        if (TakeMessage()) continue;
        frame();
        deadline += FRAME_PERIOD_MS;
        const std::int64_t remaining = deadline - NowMs();
        if (remaining >= 0) SleepMs(remaining);
    }
    SetQuitHandler(nullptr);
    return 0;
}

void ResetShell() {
    loop = LoopState{};
    ResetNavigation();
    Paused = 0;
    HotkeyLatch = 0;
}
