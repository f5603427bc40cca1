#pragma once

#include <httplib.h>

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "common/settings.h"

// What the server's tests share: real server processes, a real PostgreSQL cluster, and real
// games to send them.

namespace fs = std::filesystem;

// A fresh folder under the temporary folder, removed with the value.
class TempFolder {
public:
    explicit TempFolder(const std::string& stem);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// A free TCP port on 127.0.0.1 (bound, read back, released).
std::uint16_t FreePort();

// plemby-scores as a child process on 127.0.0.1, its log in the data folder.
class ScoresProcess {
public:
    ScoresProcess(fs::path data, std::vector<std::string> extraArgs = {},
                  std::uint16_t port = 0);
    ~ScoresProcess();
    ScoresProcess(const ScoresProcess&) = delete;
    ScoresProcess& operator=(const ScoresProcess&) = delete;

    // Starts it and waits for /health to answer; false when it did not come up.
    bool Start();
    // SIGTERM, then waits for the exit; the exit status.
    int Stop();
    // SIGTERM, without waiting.
    void Terminate();
    // SIGKILL, then reaps it.
    void Kill();
    std::uint16_t Port() const { return port_; }
    std::string Log() const;
    httplib::Client Client(int timeoutSeconds = 30) const;

private:
    fs::path data_;
    std::vector<std::string> args_;
    std::uint16_t port_;
    int pid_ = -1;
};

// A PostgreSQL cluster in a temporary folder (mode 0700), run by an unprivileged user when the
// tests run as root, listening on a Unix socket only.
class PostgresCluster {
public:
    PostgresCluster();
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster&) = delete;
    PostgresCluster& operator=(const PostgresCluster&) = delete;

    // Makes the cluster and a database; false (with Problem) when PostgreSQL is not installed or
    // would not start.
    bool Create();
    bool Start();
    // A fast shutdown: clients are disconnected.
    void Stop();
    std::string Url() const;
    const std::string& Problem() const { return problem_; }

private:
    bool Run(const std::vector<std::string>& command);
    std::vector<std::string> AsOwner(const std::vector<std::string>& command) const;

    TempFolder folder_{"plemby-pg"};
    int pid_ = -1;
    std::string problem_;
};

// A game played by the CPU player from `seed`, 20 ms of clock a frame, its pieces then dropped
// where they enter to a quick game over: the replay file's bytes.
std::vector<std::uint8_t> CpuGame(std::uint32_t seed, const PlaySettings& play);
// A game that does nothing but drop each piece where it enters, to a quick game over.
std::vector<std::uint8_t> DroppingGame(std::uint32_t seed, const PlaySettings& play);

// A name claimed on `client`: its token.
std::string ClaimName(httplib::Client& client, const std::string& name);
// A game sent with `token`: the response (nothing when the connection failed).
httplib::Result SendGame(httplib::Client& client, const std::string& token,
                         const std::vector<std::uint8_t>& replay);
// A GET's JSON, or null when it failed.
nlohmann::json GetJson(httplib::Client& client, const std::string& path);
