#include "server/server_options.h"

#include <charconv>
#include <ostream>
#include <string_view>

namespace {

constexpr int MISUSE = 2;

constexpr std::string_view USAGE =
    "Usage: plemby-scores --data FOLDER [--listen ADDRESS:PORT] [--database URL]\n"
    "                     [--tls-cert FILE --tls-key FILE] [--workers N] [--queue N]\n"
    "                     [--address-rate R] [--name-rate R] [--log-addresses]\n"
    "       plemby-scores admin --data FOLDER [--database URL] COMMAND\n"
    "\n"
    "The Plemby! score server: it replays every submitted game through the game's rules and\n"
    "lists only the results it computed itself.\n"
    "\n"
    "  --listen ADDRESS:PORT  where to listen (default 127.0.0.1:8475; [::1]:PORT for IPv6)\n"
    "  --data FOLDER          the server's own folder: without --database it holds the SQLite\n"
    "                         database scores.sqlite (with the daily challenge's secret)\n"
    "  --database URL         a PostgreSQL database (postgresql://HOST/NAME or\n"
    "                         postgresql:///NAME?host=/SOCKET/FOLDER); the password comes from\n"
    "                         libpq's usual places (~/.pgpass, PGPASSFILE, ...), never the URL\n"
    "  --tls-cert FILE        serve HTTPS with this certificate chain (PEM) ...\n"
    "  --tls-key FILE         ... and this private key (PEM)\n"
    "  --workers N            threads that verify games (default: one per core)\n"
    "  --queue N              games waiting for verification before 503 (default 64)\n"
    "  --address-rate R       requests a second from one address, in bursts of 5 s worth\n"
    "                         (default 10; 0: no limit)\n"
    "  --name-rate R          games a second under one name, likewise (default 1; 0: none)\n"
    "  --log-addresses        write each request's client address in the log\n"
    "  --help                 show this text\n"
    "  --version              show the version\n"
    "\n"
    "Administrative commands (run on the server's machine, with the server's --data and\n"
    "--database):\n"
    "  remove-game ID         remove one game from every table\n"
    "  remove-name NAME       remove a name, its token and all its games\n"
    "  backup FILE            copy the SQLite database to FILE while the server runs\n";

bool ParseListen(std::string_view text, ServerOptions& options) {
    const std::size_t colon = text.rfind(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    std::string_view host = text.substr(0, colon);
    const std::string_view port = text.substr(colon + 1);
    if (host.front() == '[') {
        if (host.size() < 3 || host.back() != ']') return false;
        host = host.substr(1, host.size() - 2);
    } else if (host.find(':') != std::string_view::npos) {
        return false;  // an IPv6 address goes in brackets
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(port.data(), port.data() + port.size(), value);
    if (error != std::errc() || end != port.data() + port.size() || value > 65535) return false;
    options.host = std::string(host);
    options.port = static_cast<std::uint16_t>(value);
    return true;
}

}  // namespace

std::string DatabaseUrlProblem(const std::string& url) {
    constexpr std::string_view SCHEMES[] = {"postgresql://", "postgres://"};
    std::string_view rest;
    for (const std::string_view scheme : SCHEMES) {
        if (url.rfind(scheme, 0) == 0) rest = std::string_view(url).substr(scheme.size());
    }
    if (rest.data() == nullptr) return "the database must be a postgresql:// URL";
    // user:password@host: the password would be seen by everyone who can list processes.
    const std::string_view authority = rest.substr(0, rest.find_first_of("/?"));
    const std::size_t at = authority.rfind('@');
    if (at != std::string_view::npos &&
        authority.substr(0, at).find(':') != std::string_view::npos) {
        return "a password does not belong on the command line: put it in ~/.pgpass";
    }
    if (url.find("password=") != std::string::npos) {
        return "a password does not belong on the command line: put it in ~/.pgpass";
    }
    return "";
}

ServerCommandLine ParseServerCommandLine(std::span<const char* const> args, std::ostream& out,
                                         std::ostream& err) {
    ServerCommandLine line;
    ServerOptions options;
    auto misuse = [&](const std::string& what) {
        err << "plemby-scores: " << what << "\n\n" << USAGE;
        line.status = MISUSE;
        return line;
    };
    bool admin = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            out << USAGE;
            return line;
        }
        if (arg == "--version") {
            out << "plemby-scores " << PLEMBY_VERSION << "\n";
            return line;
        }
        if (arg == "--log-addresses") {
            options.logAddresses = true;
            continue;
        }
        if (arg == "admin" && i == 0) {
            admin = true;
            continue;
        }
        if (arg.rfind("--", 0) != 0) {
            if (!admin) return misuse("unexpected argument '" + std::string(arg) + "'");
            options.admin.emplace_back(arg);
            continue;
        }
        if (i + 1 >= args.size()) return misuse(std::string(arg) + " needs a value");
        const std::string value = args[++i];
        if (arg == "--listen") {
            if (!ParseListen(value, options)) return misuse("--listen takes ADDRESS:PORT");
        } else if (arg == "--data") {
            options.dataFolder = value;
        } else if (arg == "--database") {
            const std::string problem = DatabaseUrlProblem(value);
            if (!problem.empty()) return misuse(problem);
            options.database = value;
        } else if (arg == "--tls-cert") {
            options.tlsCert = value;
        } else if (arg == "--tls-key") {
            options.tlsKey = value;
        } else if (arg == "--queue") {
            std::size_t queue = 0;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), queue);
            if (error != std::errc() || end != value.data() + value.size() || queue == 0 ||
                queue > 100000) {
                return misuse("--queue takes a number from 1 to 100000");
            }
            options.queue = queue;
        } else if (arg == "--address-rate" || arg == "--name-rate") {
            double rate = -1;
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), rate);
            if (error != std::errc() || end != value.data() + value.size() || !(rate >= 0) ||
                rate > 1e6) {
                return misuse(std::string(arg) + " takes a number of requests a second");
            }
            (arg == "--address-rate" ? options.addressRate : options.nameRate) = rate;
        } else if (arg == "--workers") {
            unsigned workers = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), workers);
            if (error != std::errc() || end != value.data() + value.size() || workers == 0 ||
                workers > 256) {
                return misuse("--workers takes a number from 1 to 256");
            }
            options.workers = workers;
        } else {
            return misuse("unknown option " + std::string(arg));
        }
    }
    if (options.dataFolder.empty()) return misuse("--data FOLDER is needed");
    if (options.tlsCert.empty() != options.tlsKey.empty()) {
        return misuse("--tls-cert and --tls-key go together");
    }
    if (admin && options.admin.empty()) return misuse("admin needs a command");
    line.options = std::move(options);
    return line;
}
