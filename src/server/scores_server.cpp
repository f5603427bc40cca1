#include "server/scores_server.h"

#include <httplib.h>

#include <charconv>
#include <chrono>
#include <cstdint>
#include <csignal>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>

#include "server/daily.h"
#include "server/names.h"
#include "server/scores_app.h"

namespace {

// cpp-httplib serves each connection on a thread of its own for as long as it stays open.
// CONNECTION_THREADS are served at once; WAITING_CONNECTIONS more wait for a thread; beyond
// those a connection is answered 503 at once by a thread kept for that and closed.
constexpr std::size_t CONNECTION_THREADS = 64;
constexpr std::size_t WAITING_CONNECTIONS = 256;
// Every read and write of a request waits at most this long; an idle kept-alive connection is
// closed after it too, and after KEEP_ALIVE_REQUESTS requests.
constexpr time_t IO_TIMEOUT_SECONDS = 5;
constexpr std::size_t KEEP_ALIVE_REQUESTS = 100;
constexpr int BUSY_RETRY_SECONDS = 1;

// Set on the thread that answers the connections beyond the bound.
thread_local bool overflowThread = false;
// When the request in hand on this thread began, for its log line, and its route's name.
thread_local std::chrono::steady_clock::time_point requestStart;
thread_local bool requestTimed = false;

// A worker thread runs jobs from a queue until shutdown, when it finishes the queue.
class JobThreads {
public:
    explicit JobThreads(std::size_t count, bool overflow = false) {
        for (std::size_t i = 0; i < count; ++i) {
            threads_.emplace_back([this, overflow] {
                overflowThread = overflow;
                for (;;) {
                    std::function<void()> job;
                    {
                        std::unique_lock lock(mutex_);
                        ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
                        if (jobs_.empty()) return;
                        job = std::move(jobs_.front());
                        jobs_.pop_front();
                    }
                    job();
                }
            });
        }
    }
    std::size_t Waiting() {
        const std::lock_guard lock(mutex_);
        return jobs_.size();
    }
    void Add(std::function<void()> job) {
        {
            const std::lock_guard lock(mutex_);
            jobs_.push_back(std::move(job));
        }
        ready_.notify_one();
    }
    void Stop() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        for (std::thread& thread : threads_) thread.join();
        threads_.clear();
    }

private:
    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

// The connections' threads, bounded as above.
class BoundedConnections final : public httplib::TaskQueue {
public:
    explicit BoundedConnections(std::atomic<std::size_t>& open)
        : open_(open), served_(CONNECTION_THREADS), overflow_(1, true) {}

    void enqueue(std::function<void()> fn) override {
        ++open_;
        auto job = [this, fn = std::move(fn)] {
            fn();
            --open_;
        };
        if (served_.Waiting() >= WAITING_CONNECTIONS) {
            overflow_.Add(std::move(job));
        } else {
            served_.Add(std::move(job));
        }
    }
    void shutdown() override {
        served_.Stop();
        overflow_.Stop();
    }

private:
    std::atomic<std::size_t>& open_;
    JobThreads served_;
    JobThreads overflow_;
};

// SIGTERM and SIGINT are taken by one thread, which stops the server; the others never see them.
class StopSignals {
public:
    StopSignals() {
        sigemptyset(&set_);
        sigaddset(&set_, SIGTERM);
        sigaddset(&set_, SIGINT);
        pthread_sigmask(SIG_BLOCK, &set_, nullptr);
    }
    void WatchFor(httplib::Server& server) {
        watcher_ = std::thread([this, &server] {
            int signal = 0;
            sigwait(&set_, &signal);
            if (released_) return;
            std::fprintf(stderr, "plemby-scores: stopping: the requests in hand are finished first\n");
            server.stop();
        });
    }
    // After the server stopped by itself: the watcher is woken so that it can end.
    void Release() {
        if (!watcher_.joinable()) return;
        released_ = true;
        pthread_kill(watcher_.native_handle(), SIGTERM);
        watcher_.join();
    }

private:
    sigset_t set_{};
    std::atomic<bool> released_ = false;
    std::thread watcher_;
};

// The route a path belongs to, for the counters: a fixed set, whatever clients send.
std::string RouteOf(const std::string& path) {
    static const char* const ROUTES[] = {"/health", "/metrics", "/v1/players", "/v1/games",
                                         "/v1/daily", "/v1/tables/all-time"};
    if (path == "/") return "/";
    for (const char* route : ROUTES) {
        if (path == route) return route;
    }
    if (path.rfind("/v1/tables/daily/", 0) == 0) return "/v1/tables/daily/:date";
    if (path.rfind("/v1/games/", 0) == 0) {
        return path.size() > 7 && path.compare(path.size() - 7, 7, "/replay") == 0
                   ? "/v1/games/:id/replay"
                   : "/v1/games/:id";
    }
    return "other";
}

void LogRequest(ScoresApp& app, const httplib::Request& req, const httplib::Response& res) {
    const std::string route = RouteOf(req.path);
    app.metrics.CountRequest(route, res.status);
    double ms = 0;
    if (requestTimed) {
        ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() -
                                                       requestStart)
                 .count();
        requestTimed = false;
    }
    // The path only for the fixed routes: what else a client sends is not echoed into the log.
    const std::string shown = route == "other" ? "(other)" : req.path;
    const std::string address = app.options.logAddresses ? " " + req.remote_addr : "";
    std::fprintf(stderr, "%s%s %s %s %d %zu %.1fms\n", UtcTime(UnixNow()).c_str(),
                 address.c_str(), req.method.c_str(), shown.c_str(), res.status,
                 res.body.size(), ms);
}

// The body's length as its header says, the largest number for one that does not read.
std::uint64_t DeclaredLength(const httplib::Request& req) {
    if (!req.has_header("Content-Length")) return 0;
    const std::string text = req.get_header_value("Content-Length");
    std::uint64_t length = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), length);
    if (error != std::errc() || end != text.data() + text.size()) return UINT64_MAX;
    return length;
}

httplib::Server::HandlerResponse BeforeRouting(ScoresApp& app, const httplib::Request& req,
                                               httplib::Response& res) {
    requestStart = std::chrono::steady_clock::now();
    requestTimed = true;
    auto refuse = [&](int status, const char* reason, const char* message, std::int64_t wait) {
        app.metrics.CountRefusal(reason);
        res.status = status;
        res.set_header("Retry-After", std::to_string(wait));
        res.set_header("Connection", "close");
        res.set_content(std::string("{\"error\":\"") + reason + "\",\"message\":\"" + message +
                            "\"}\n",
                        "application/json");
        return httplib::Server::HandlerResponse::Handled;
    };
    if (overflowThread) {
        return refuse(503, "busy", "too many connections; try again shortly", BUSY_RETRY_SECONDS);
    }
    // A body longer than any replay is refused from its Content-Length before a byte of it is
    // read, and the connection closed (cpp-httplib would read such a body through to drop it).
    if (DeclaredLength(req) > MAX_REPLAY_BYTES) {
        app.metrics.CountRefusal("too-large");
        res.status = 413;
        res.set_header("Connection", "close");
        res.set_content("{\"error\":\"too-large\",\"message\":\"larger than any replay\"}\n",
                        "application/json");
        return httplib::Server::HandlerResponse::Handled;
    }
    if (req.path == "/health") return httplib::Server::HandlerResponse::Unhandled;
    if (const std::int64_t wait = app.addressLimit.Take(req.remote_addr); wait > 0) {
        return refuse(429, "address-rate", "too many requests from this address", wait);
    }
    return httplib::Server::HandlerResponse::Unhandled;
}

unsigned WorkerCount(const ServerOptions& options) {
    if (options.workers != 0) return options.workers;
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace

int RunScoresServer(const ServerOptions& options) {
    std::error_code error;
    // The folder holds the tokens' hashes and the daily secret: a folder made here is its
    // owner's alone.
    if (std::filesystem::create_directories(options.dataFolder, error)) {
        std::filesystem::permissions(options.dataFolder, std::filesystem::perms::owner_all,
                                     error);
    }
    if (error) {
        std::cerr << "plemby-scores: cannot make the data folder " << options.dataFolder << ": "
                  << error.message() << "\n";
        return 1;
    }
    StopSignals signals;
    std::unique_ptr<ScoresApp> app;
    try {
        app = std::make_unique<ScoresApp>(
            options, OpenDatabase(options.dataFolder, options.database), WorkerCount(options));
        app->store.Migrate();
        const std::string candidate = RandomBytes(DAILY_SECRET_BYTES);
        app->dailySecret = app->store.DailySecret({candidate.begin(), candidate.end()});
    } catch (const std::exception& failure) {
        std::cerr << "plemby-scores: " << failure.what() << "\n";
        return 1;
    }

    std::unique_ptr<httplib::Server> server;
    if (options.tlsCert.empty()) {
        server = std::make_unique<httplib::Server>();
    } else {
        server = std::make_unique<httplib::SSLServer>(options.tlsCert.c_str(),
                                                      options.tlsKey.c_str());
    }
    if (!server->is_valid()) {
        std::cerr << "plemby-scores: cannot read the certificate or its key\n";
        return 1;
    }
    ScoresApp& shared = *app;
    server->new_task_queue = [&shared] { return new BoundedConnections(shared.openConnections); };
    // The port may be taken again at once after a crash, but never by a second server while one
    // listens there (cpp-httplib's own choice, SO_REUSEPORT, would share it between both).
    server->set_socket_options([](auto sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server->set_read_timeout(IO_TIMEOUT_SECONDS, 0);
    server->set_write_timeout(IO_TIMEOUT_SECONDS, 0);
    server->set_keep_alive_timeout(IO_TIMEOUT_SECONDS);
    server->set_keep_alive_max_count(KEEP_ALIVE_REQUESTS);
    // A body sent in chunks is read no further than the largest replay.
    server->set_payload_max_length(MAX_REPLAY_BYTES);
    server->set_pre_routing_handler([&shared](const httplib::Request& req, httplib::Response& res) {
        return BeforeRouting(shared, req, res);
    });
    server->set_logger([&shared](const httplib::Request& req, const httplib::Response& res) {
        LogRequest(shared, req, res);
    });
    AddScoreRoutes(*server, shared);

    if (!server->bind_to_port(options.host.c_str(), options.port)) {
        std::cerr << "plemby-scores: cannot listen on " << options.host << ":" << options.port
                  << "\n";
        return 1;
    }
    std::cerr << "plemby-scores: listening on " << (options.tlsCert.empty() ? "http" : "https")
              << "://" << options.host << ":" << options.port << "/ ("
              << (options.database.empty() ? "SQLite" : "PostgreSQL") << ", "
              << shared.queue.Workers() << " verifying threads)\n";
    signals.WatchFor(*server);
    server->listen_after_bind();
    signals.Release();
    app.reset();
    std::cerr << "plemby-scores: stopped\n";
    return 0;
}
