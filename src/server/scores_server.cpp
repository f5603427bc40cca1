#include "server/scores_server.h"

#include <httplib.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>
#include <thread>

namespace {

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
            if (signal != 0) server.stop();
        });
    }
    // After the server stopped by itself: the watcher is woken so that it can end.
    void Release() {
        if (!watcher_.joinable()) return;
        pthread_kill(watcher_.native_handle(), SIGTERM);
        watcher_.join();
    }

private:
    sigset_t set_{};
    std::thread watcher_;
};

}  // namespace

int RunScoresServer(const ServerOptions& options) {
    std::error_code error;
    std::filesystem::create_directories(options.dataFolder, error);
    if (error) {
        std::cerr << "plemby-scores: cannot make the data folder " << options.dataFolder << ": "
                  << error.message() << "\n";
        return 1;
    }
    StopSignals signals;
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
    server->Get("/health", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("{\"status\":\"ok\"}\n", "application/json");
    });
    if (!server->bind_to_port(options.host.c_str(), options.port)) {
        std::cerr << "plemby-scores: cannot listen on " << options.host << ":" << options.port
                  << "\n";
        return 1;
    }
    std::cerr << "plemby-scores: listening on " << options.host << ":" << options.port << "\n";
    signals.WatchFor(*server);
    server->listen_after_bind();
    signals.Release();
    std::cerr << "plemby-scores: stopped\n";
    return 0;
}
