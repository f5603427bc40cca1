#include "platform/background_work.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <system_error>
#include <thread>

namespace {
struct BackgroundThread {
    std::thread thread;
    std::atomic<bool> stopRequest{false};
};
BackgroundThread background;

void Work(bool (*step)(), int periodMs) {
    for (;;) {
        std::this_thread::sleep_for(std::chrono::milliseconds(periodMs));
        if (background.stopRequest.load(std::memory_order_relaxed)) return;
        if (!step()) return;
    }
}
}  // namespace

bool StartBackgroundWork(bool (*step)(), int periodMs) {
    StopBackgroundWork();
    // A program can end by exit() from inside a library while the work runs (Xlib does when
    // its display goes away). The work is stopped before any object of the program is
    // destroyed: registered now, after they were all made, this runs before their destructors.
    // Else the destructor of the running thread would abort the program, and the work would
    // read a song that is being freed.
    [[maybe_unused]] static const int stopAtExit = std::atexit(StopBackgroundWork);
    background.stopRequest.store(false, std::memory_order_relaxed);
    try {
        background.thread = std::thread(Work, step, periodMs);
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void StopBackgroundWork() {
    if (!background.thread.joinable()) return;
    background.stopRequest.store(true, std::memory_order_relaxed);
    background.thread.join();
}

void RunDueBackgroundWork() {}
