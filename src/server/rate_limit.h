#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

// Requests a second for each key (a client's address, a name), with a burst: a bucket that
// fills at `perSecond` up to `burst`, and a request takes one from it. Held in memory only, per
// process.
struct RateLimit {
    double perSecond = 0;
    double burst = 0;
};

class RateLimiter {
public:
    using Clock = std::chrono::steady_clock;
    explicit RateLimiter(RateLimit limit) : limit_(limit) {}

    // 0 when the request may go ahead (and is counted), else the whole seconds to wait.
    std::int64_t Take(const std::string& key, Clock::time_point now = Clock::now());

private:
    struct Bucket {
        double tokens = 0;
        Clock::time_point filled;
    };
    void Prune(Clock::time_point now);

    RateLimit limit_;
    std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};
