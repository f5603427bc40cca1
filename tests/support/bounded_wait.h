#pragma once

#include <chrono>
#include <thread>

// How long a test waits for another thread to do its part: far beyond any healthy run, even
// under the sanitizers on a busy machine, and well inside the test run's own time-out, so that
// a thread that never gets there fails the test with a message instead of hanging it.
constexpr std::chrono::seconds THREAD_PATIENCE{60};
constexpr std::chrono::microseconds POLL_INTERVAL{100};

// Polls `done` until it holds, sleeping a little between polls so that the thread waited for
// has the processor; false once THREAD_PATIENCE has passed without it.
template <class Done>
bool WaitUntil(Done done) {
    const auto deadline = std::chrono::steady_clock::now() + THREAD_PATIENCE;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(POLL_INTERVAL);
    }
    return true;
}
