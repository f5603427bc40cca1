#include "server/verification_queue.h"

VerificationQueue::VerificationQueue(unsigned workers, std::size_t capacity)
    : capacity_(capacity) {
    for (unsigned i = 0; i < workers; ++i) threads_.emplace_back([this] { Work(); });
}

VerificationQueue::~VerificationQueue() {
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (std::thread& thread : threads_) thread.join();
}

std::optional<std::future<CheckOutcome>> VerificationQueue::Submit(Replay replay) {
    const std::lock_guard lock(mutex_);
    if (jobs_.size() >= capacity_ || stopping_) return std::nullopt;
    jobs_.push_back(Job{std::move(replay), {}});
    std::future<CheckOutcome> outcome = jobs_.back().outcome.get_future();
    ready_.notify_one();
    return outcome;
}

std::size_t VerificationQueue::Length() {
    const std::lock_guard lock(mutex_);
    return jobs_.size();
}

void VerificationQueue::Work() {
    for (;;) {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty()) return;
        Job job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        try {
            // Each check plays on a game of its own: the verifiers run side by side.
            job.outcome.set_value(CheckGame(job.replay));
        } catch (...) {
            job.outcome.set_exception(std::current_exception());
        }
    }
}
