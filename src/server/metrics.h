#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>

// The server's counters, given out in Prometheus' text format at /metrics.
class Metrics {
public:
    void CountRequest(const std::string& route, int status);
    void CountRefusal(const std::string& reason);
    // One game through the rules: `outcome` is "accepted" or a refusal's reason.
    void CountVerification(const std::string& outcome, double seconds);
    void CountStoredGame();

    // The text, with the gauges read now.
    std::string Text(std::size_t queueLength, std::size_t queueCapacity, unsigned workers,
                     std::size_t connections);

private:
    std::mutex mutex_;
    std::map<std::pair<std::string, int>, std::uint64_t> requests_;
    std::map<std::string, std::uint64_t> refusals_;
    std::map<std::string, std::uint64_t> verifications_;
    double verificationSeconds_ = 0;
    std::uint64_t storedGames_ = 0;
};
