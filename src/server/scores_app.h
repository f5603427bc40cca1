#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "server/metrics.h"
#include "server/rate_limit.h"
#include "server/score_store.h"
#include "server/server_options.h"
#include "server/verification_queue.h"

namespace httplib {
class Server;
}

// Everything a request may reach: the tables, the verifiers, the limits and the counters.
struct ScoresApp {
    ScoresApp(const ServerOptions& serverOptions, std::unique_ptr<SqlDatabase> database,
              unsigned workers)
        : options(serverOptions),
          store(std::move(database)),
          queue(workers, serverOptions.queue),
          addressLimit({serverOptions.addressRate, serverOptions.addressRate * BURST_SECONDS}),
          nameLimit({serverOptions.nameRate, serverOptions.nameRate * BURST_SECONDS}) {}

    static constexpr double BURST_SECONDS = 5;

    ServerOptions options;
    ScoreStore store;
    VerificationQueue queue;
    RateLimiter addressLimit;
    RateLimiter nameLimit;
    Metrics metrics;
    std::vector<std::uint8_t> dailySecret;
    std::atomic<std::size_t> openConnections{0};
};

// The protocol's routes (docs/scores-protocol.md) and the page.
void AddScoreRoutes(httplib::Server& server, ScoresApp& app);

// The page at /: the all-time table and today's, for a person with a browser.
std::string ScoresPage(const std::vector<GameRecord>& allTime, const std::vector<GameRecord>& today,
                       const std::string& day);

// "2026-12-08T18:00:00Z" of seconds since 1970.
std::string UtcTime(std::int64_t unixSeconds);
std::int64_t UnixNow();
