#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <vector>

// How the score server is started: where it listens, where it keeps its files and which
// database holds its tables. `admin` holds the words after `admin` when the operator asked for
// an administrative command instead of the server.
struct ServerOptions {
    std::string host = "127.0.0.1";
    std::uint16_t port = 8475;
    std::string dataFolder;
    std::string database;  // empty: SQLite in the data folder; else a postgresql:// URL
    std::string tlsCert;
    std::string tlsKey;
    bool logAddresses = false;
    unsigned workers = 0;  // verifying threads; 0 takes one per core
    std::size_t queue = 64;  // games waiting for a verifier before 503
    double addressRate = 10;  // requests a second from one address (a burst of five seconds' worth)
    double nameRate = 1;      // games a second under one name (likewise)
    std::vector<std::string> admin;
};

// What the command line asks: run with `options`, or end at once with `status` (after the usage
// text or the version, or on a wrong command line, which is told on `err` and ends with 2).
struct ServerCommandLine {
    std::optional<ServerOptions> options;
    int status = 0;
};

ServerCommandLine ParseServerCommandLine(std::span<const char* const> args, std::ostream& out,
                                         std::ostream& err);

// Why a database URL is refused (a password in it, another scheme), or empty when it is fine.
std::string DatabaseUrlProblem(const std::string& url);
