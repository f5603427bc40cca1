#include "app/frame_loop.h"

#include "app/bindings_store.h"
#include "app/pause.h"
#include "app/replays.h"
#include "app/settings.h"
#include "app/shell.h"
#include "app/shell_testing.h"
#include "gfx/back_buffer.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "screens/navigation.h"
#include "sound/sound.h"

namespace {

// The answer to a close of the window or a taken quit request: one shutdown, then the loop
// ends without running another frame.
void EndGame() {
    Shutdown();
    shell.loop.quitTaken = true;
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

// False once the loop has ended.
bool TakePendingMessages() {
    while (!shell.loop.quitTaken) {
        if (!TakeMessage()) return true;
    }
    return false;
}

void RunPacedFrame(void (*frame)()) {
    frame();
    shell.loop.deadline += FRAME_PERIOD_MS;
}

}  // namespace

void Shutdown() {
    if (shell.loop.shutDown) return;
    shell.loop.shutDown = true;
    KeepReplaysAtShutdown();
    ShutdownSound();
    ReleaseGraphics();
    StoreSettings();
    StoreBindings();
}

void StartFrameLoop() {
    SetQuitHandler(EndGame);
    shell.loop.deadline = NowMs();
}

std::optional<std::int64_t> RunNextFrame(void (*frame)()) {
    if (!TakePendingMessages()) return std::nullopt;
    RunPacedFrame(frame);
    return shell.loop.deadline - NowMs();
}

bool RunDueFrames(void (*frame)()) {
    while (TakePendingMessages()) {
        if (NowMs() < shell.loop.deadline) return true;
        RunPacedFrame(frame);
    }
    return false;
}

void RestartFrameDeadline() { shell.loop.deadline = NowMs(); }

void FinishFrameLoop() { SetQuitHandler(nullptr); }

int RunFrameLoop(void (*frame)()) {
    StartFrameLoop();
    while (const std::optional<std::int64_t> remaining = RunNextFrame(frame)) {
        if (*remaining >= 0) SleepMs(*remaining);
    }
    FinishFrameLoop();
    return 0;
}
