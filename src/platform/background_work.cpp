#include "platform/background_work.h"

#include <atomic>
#include <chrono>
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
