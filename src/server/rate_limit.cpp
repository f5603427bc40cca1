#include "server/rate_limit.h"

#include <cmath>

namespace {

// Above this many keys the full buckets are forgotten: a full bucket is a fresh one.
constexpr std::size_t KEYS_KEPT = 100000;

}  // namespace

std::int64_t RateLimiter::Take(const std::string& key, Clock::time_point now) {
    if (limit_.perSecond <= 0) return 0;
    const std::lock_guard lock(mutex_);
    if (buckets_.size() > KEYS_KEPT) Prune(now);
    auto [place, fresh] = buckets_.try_emplace(key, Bucket{limit_.burst, now});
    Bucket& bucket = place->second;
    if (!fresh) {
        const double seconds = std::chrono::duration<double>(now - bucket.filled).count();
        bucket.tokens = std::min(limit_.burst, bucket.tokens + seconds * limit_.perSecond);
        bucket.filled = now;
    }
    if (bucket.tokens >= 1) {
        bucket.tokens -= 1;
        return 0;
    }
    return static_cast<std::int64_t>(std::ceil((1 - bucket.tokens) / limit_.perSecond));
}

void RateLimiter::Prune(Clock::time_point now) {
    for (auto i = buckets_.begin(); i != buckets_.end();) {
        const double seconds = std::chrono::duration<double>(now - i->second.filled).count();
        if (i->second.tokens + seconds * limit_.perSecond >= limit_.burst) {
            i = buckets_.erase(i);
        } else {
            ++i;
        }
    }
    // A flood of fresh addresses: forget them all rather than grow without bound.
    if (buckets_.size() > KEYS_KEPT) buckets_.clear();
}
