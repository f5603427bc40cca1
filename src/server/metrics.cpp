#include "server/metrics.h"

#include <sstream>

void Metrics::CountRequest(const std::string& route, int status) {
    const std::lock_guard lock(mutex_);
    ++requests_[{route, status}];
}

void Metrics::CountRefusal(const std::string& reason) {
    const std::lock_guard lock(mutex_);
    ++refusals_[reason];
}

void Metrics::CountVerification(const std::string& outcome, double seconds) {
    const std::lock_guard lock(mutex_);
    ++verifications_[outcome];
    verificationSeconds_ += seconds;
}

void Metrics::CountStoredGame() {
    const std::lock_guard lock(mutex_);
    ++storedGames_;
}

std::string Metrics::Text(std::size_t queueLength, std::size_t queueCapacity, unsigned workers,
                          std::size_t connections) {
    const std::lock_guard lock(mutex_);
    std::ostringstream out;
    out << "# HELP plemby_requests_total HTTP requests answered, by route and status.\n"
        << "# TYPE plemby_requests_total counter\n";
    for (const auto& [key, count] : requests_) {
        out << "plemby_requests_total{route=\"" << key.first << "\",status=\"" << key.second
            << "\"} " << count << "\n";
    }
    out << "# HELP plemby_refusals_total Requests refused, by reason.\n"
        << "# TYPE plemby_refusals_total counter\n";
    for (const auto& [reason, count] : refusals_) {
        out << "plemby_refusals_total{reason=\"" << reason << "\"} " << count << "\n";
    }
    std::uint64_t verified = 0;
    out << "# HELP plemby_verifications_total Games played through the rules, by outcome.\n"
        << "# TYPE plemby_verifications_total counter\n";
    for (const auto& [outcome, count] : verifications_) {
        out << "plemby_verifications_total{outcome=\"" << outcome << "\"} " << count << "\n";
        verified += count;
    }
    out << "# HELP plemby_verification_seconds Time spent playing games through the rules.\n"
        << "# TYPE plemby_verification_seconds summary\n"
        << "plemby_verification_seconds_sum " << verificationSeconds_ << "\n"
        << "plemby_verification_seconds_count " << verified << "\n"
        << "# HELP plemby_games_stored_total Games stored by this process.\n"
        << "# TYPE plemby_games_stored_total counter\n"
        << "plemby_games_stored_total " << storedGames_ << "\n"
        << "# HELP plemby_verification_queue_length Games waiting for a verifier.\n"
        << "# TYPE plemby_verification_queue_length gauge\n"
        << "plemby_verification_queue_length " << queueLength << "\n"
        << "# HELP plemby_verification_queue_capacity Games the queue holds before it refuses.\n"
        << "# TYPE plemby_verification_queue_capacity gauge\n"
        << "plemby_verification_queue_capacity " << queueCapacity << "\n"
        << "# HELP plemby_verification_workers Threads verifying games.\n"
        << "# TYPE plemby_verification_workers gauge\n"
        << "plemby_verification_workers " << workers << "\n"
        << "# HELP plemby_open_connections Connections being served or waiting for a thread.\n"
        << "# TYPE plemby_open_connections gauge\n"
        << "plemby_open_connections " << connections << "\n";
    return out.str();
}
