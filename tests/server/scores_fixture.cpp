#include "server/scores_fixture.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "common/random.h"
#include "cpu_player/cpu_player.h"
#include "game/game_state.h"
#include "game/rules_frame.h"
#include "replays/live_game.h"
#include "server/submission.h"

namespace {

constexpr auto START_PATIENCE = std::chrono::seconds(60);
constexpr const char* POSTGRES_BIN = "/usr/lib/postgresql/15/bin/";
// A game ends long before this; a CPU player that never loses is stopped here.
constexpr int MOST_FRAMES = 200000;
constexpr std::int64_t FRAME_MS = 20;
// The CPU player plays this long (some 6 seconds of game), then the pieces are dropped where
// they enter until the game is over: a CPU player at its best could go on for an hour.
constexpr int CPU_FRAMES = 300;

std::int64_t gameClock = 0;
std::int64_t GameClock() { return gameClock; }

// Spawns `args` with stdout and stderr to `log` (when given); the child's pid.
int Spawn(const std::vector<std::string>& args, const std::string& log) {
    // Everything the child needs is made before the fork: after it, only calls that are safe
    // in a copy of a threaded process.
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    sigset_t all;
    sigemptyset(&all);
    const int pid = fork();
    if (pid != 0) return pid;
    if (!log.empty()) {
        const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (fd >= 0) {
            dup2(fd, 1);
            dup2(fd, 2);
        }
    }
    // The child gets the signals the tests send, not those its parent blocks.
    sigprocmask(SIG_SETMASK, &all, nullptr);
    execv(argv[0], argv.data());
    _exit(127);
}

int Reap(int pid, bool wait) {
    int status = 0;
    if (waitpid(pid, &status, wait ? 0 : WNOHANG) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

bool WaitFor(const std::function<bool()>& done, std::chrono::seconds patience = START_PATIENCE) {
    const auto deadline = std::chrono::steady_clock::now() + patience;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
}

// Plays a whole game from `player`, recorded as the game records its own.
std::vector<std::uint8_t> PlayGame(GameState& game, Player& player, std::uint32_t seed,
                                   const PlaySettings& play) {
    std::optional<RecordedGame> finished;
    gameClock = 1000;
    Random random(seed);
    game.random = &random;
    LiveGame source(player, GameClock, play, finished);
    BeginGame(game, source);
    FrameInput frame;
    for (int i = 0; i < MOST_FRAMES && !finished; ++i) {
        gameClock += FRAME_MS;
        source.NextFrame(frame);
        const GameEvents actions = BeginRulesFrame(game, source, frame);
        if (Happened(actions, GameEventKind::Abandoned)) break;
        if (Happened(EndRulesFrame(game, source, frame), GameEventKind::GameOver)) {
            source.EndGame(GameEnding::GameOver, game);
        }
    }
    return finished ? finished->bytes : std::vector<std::uint8_t>();
}

// Holds the hard drop every other frame (the latch wants it let go between drops), after the
// CPU player has played `cpuFrames` frames, if it has one.
class Dropper final : public Player {
public:
    explicit Dropper(Player* cpu = nullptr, int cpuFrames = 0) : cpu_(cpu), cpuFrames_(cpuFrames) {}
    ActionRecord NextActions() override {
        if (cpu_ != nullptr && cpuFrames_-- > 0) return cpu_->NextActions();
        held_ = !held_;
        ActionRecord actions;
        actions.Set(PlayAction::HardDrop, held_);
        return actions;
    }

private:
    Player* cpu_;
    int cpuFrames_;
    bool held_ = false;
};

}  // namespace

TempFolder::TempFolder(const std::string& stem) {
    std::string pattern = (fs::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::uint16_t FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    close(fd);
    return ntohs(address.sin_port);
}

ScoresProcess::ScoresProcess(fs::path data, std::vector<std::string> extraArgs, std::uint16_t port)
    : data_(std::move(data)), args_(std::move(extraArgs)), port_(port != 0 ? port : FreePort()) {}

ScoresProcess::~ScoresProcess() {
    if (pid_ > 0) Kill();
}

bool ScoresProcess::Start() {
    std::vector<std::string> args = {PLEMBY_SCORES_PROGRAM, "--listen",
                                     "127.0.0.1:" + std::to_string(port_), "--data",
                                     data_.string()};
    args.insert(args.end(), args_.begin(), args_.end());
    fs::create_directories(data_);
    pid_ = Spawn(args, (data_ / "server.log").string());
    const bool tls = std::find(args_.begin(), args_.end(), "--tls-cert") != args_.end();
    return WaitFor([&] {
        if (Reap(pid_, false) >= 0) {
            pid_ = -1;
            return true;
        }
        if (tls) return Log().find("listening on") != std::string::npos;
        httplib::Client client("127.0.0.1", port_);
        client.set_connection_timeout(1);
        const auto result = client.Get("/health");
        return result && result->status == 200;
    }) && pid_ > 0;
}

int ScoresProcess::Stop() {
    if (pid_ <= 0) return -1;
    Terminate();
    const int status = Reap(pid_, true);
    pid_ = -1;
    return status;
}

void ScoresProcess::Terminate() {
    if (pid_ > 0) kill(pid_, SIGTERM);
}

void ScoresProcess::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    Reap(pid_, true);
    pid_ = -1;
}

std::string ScoresProcess::Log() const {
    std::ifstream in(data_ / "server.log");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

httplib::Client ScoresProcess::Client(int timeoutSeconds) const {
    httplib::Client client("127.0.0.1", port_);
    client.set_connection_timeout(timeoutSeconds);
    client.set_read_timeout(timeoutSeconds);
    client.set_write_timeout(timeoutSeconds);
    return client;
}

PostgresCluster::PostgresCluster() = default;

PostgresCluster::~PostgresCluster() { Stop(); }

std::vector<std::string> PostgresCluster::AsOwner(const std::vector<std::string>& command) const {
    if (geteuid() != 0) return command;
    // PostgreSQL refuses to run as root: an unprivileged user runs it.
    std::vector<std::string> run = {"/usr/bin/setpriv", "--reuid=nobody", "--regid=nogroup",
                                    "--clear-groups", "--"};
    run.insert(run.end(), command.begin(), command.end());
    return run;
}

bool PostgresCluster::Run(const std::vector<std::string>& command) {
    const int pid = Spawn(AsOwner(command), (folder_.Path() / "setup.log").string());
    const int status = Reap(pid, true);
    if (status != 0) problem_ = command.front() + " failed with status " + std::to_string(status);
    return status == 0;
}

bool PostgresCluster::Create() {
    if (!fs::exists(std::string(POSTGRES_BIN) + "postgres")) {
        problem_ = "PostgreSQL 15 is not installed";
        return false;
    }
    chmod(folder_.Path().c_str(), 0700);
    if (geteuid() == 0) {
        const passwd* nobody = getpwnam("nobody");
        if (nobody == nullptr || chown(folder_.Path().c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
            problem_ = "cannot give the cluster's folder to nobody";
            return false;
        }
    }
    setenv("LC_ALL", "C", 1);
    const std::string data = (folder_.Path() / "data").string();
    if (!Run({std::string(POSTGRES_BIN) + "initdb", "-D", data, "-U", "plemby", "--auth=trust",
              "--no-sync"})) {
        return false;
    }
    if (!Start()) return false;
    return Run({std::string(POSTGRES_BIN) + "createdb", "-h", folder_.Path().string(), "-U",
                "plemby", "scores"});
}

bool PostgresCluster::Start() {
    const std::string data = (folder_.Path() / "data").string();
    pid_ = Spawn(AsOwner({std::string(POSTGRES_BIN) + "postgres", "-D", data, "-k",
                          folder_.Path().string(), "-c", "listen_addresses=", "-c", "fsync=off"}),
                 (folder_.Path() / "postgres.log").string());
    const fs::path socket = folder_.Path() / ".s.PGSQL.5432";
    const bool up = WaitFor([&] { return fs::exists(socket) || Reap(pid_, false) >= 0; }) &&
                    fs::exists(socket);
    if (!up) problem_ = "postgres did not start";
    // The socket comes before the server takes connections: a moment for it.
    return up && WaitFor([&] {
               return Run({std::string(POSTGRES_BIN) + "pg_isready", "-q", "-h",
                           folder_.Path().string(), "-U", "plemby"});
           });
}

void PostgresCluster::Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGINT);
    Reap(pid_, true);
    pid_ = -1;
}

std::string PostgresCluster::Url() const {
    return "postgresql:///scores?host=" + folder_.Path().string() + "&user=plemby";
}

std::vector<std::uint8_t> CpuGame(std::uint32_t seed, const PlaySettings& play) {
    const std::uint8_t reversed = 0;
    GameState game;
    CpuGamePlayer cpu(game, reversed);
    Dropper player(&cpu, CPU_FRAMES);
    return PlayGame(game, player, seed, play);
}

std::vector<std::uint8_t> DroppingGame(std::uint32_t seed, const PlaySettings& play) {
    GameState game;
    Dropper player;
    return PlayGame(game, player, seed, play);
}

std::string ClaimName(httplib::Client& client, const std::string& name) {
    const auto result =
        client.Post("/v1/players", nlohmann::json{{"name", name}}.dump(), "application/json");
    if (!result || result->status != 201) return "";
    return nlohmann::json::parse(result->body).value("token", "");
}

httplib::Result SendGame(httplib::Client& client, const std::string& token,
                         const std::vector<std::uint8_t>& replay) {
    const httplib::Headers headers = {{"Authorization", "Bearer " + token}};
    return client.Post("/v1/games", headers,
                       std::string(reinterpret_cast<const char*>(replay.data()), replay.size()),
                       std::string(REPLAY_MEDIA_TYPE).c_str());
}

nlohmann::json GetJson(httplib::Client& client, const std::string& path) {
    const auto result = client.Get(path.c_str());
    if (!result || result->status != 200) return nullptr;
    return nlohmann::json::parse(result->body, nullptr, false);
}
