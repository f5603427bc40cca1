#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <future>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>
#include <vector>

#include "server/game_check.h"

using CheckOutcome = std::variant<CheckedGame, Refusal>;

// Submitted games wait here for a verifying thread. The queue is bounded: when it is full a
// game is turned away at once (503) rather than held.
class VerificationQueue {
public:
    VerificationQueue(unsigned workers, std::size_t capacity);
    // Verifies what is queued, then stops the threads.
    ~VerificationQueue();
    VerificationQueue(const VerificationQueue&) = delete;
    VerificationQueue& operator=(const VerificationQueue&) = delete;

    // The check's outcome to come, or nothing when the queue is full.
    std::optional<std::future<CheckOutcome>> Submit(Replay replay);

    std::size_t Length();
    std::size_t Capacity() const { return capacity_; }
    unsigned Workers() const { return static_cast<unsigned>(threads_.size()); }

private:
    struct Job {
        Replay replay;
        std::promise<CheckOutcome> outcome;
    };
    void Work();

    std::size_t capacity_;
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<Job> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};
