#include "platform/single_instance.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "support/temp_home.h"

extern char** environ;

namespace {

// The built game, run headless with its own folders under the test's temporary home. `vars`
// (NAME=value) replace the inherited ones of their names; its stderr goes to `errors` if given.
class GameProcess {
public:
    explicit GameProcess(const std::vector<std::string>& vars = {},
                         const std::string& errors = "") {
        // Without framebuffer acceleration the offscreen driver loads no EGL, whose unloading
        // at exit would leave its allocations unreachable and fail the leak check.
        std::vector<std::string> own = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                                        "SDL_RENDER_DRIVER=software",
                                        "SDL_FRAMEBUFFER_ACCELERATION=0"};
        own.insert(own.end(), vars.begin(), vars.end());
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string var = *e;
            const bool replaced = std::any_of(own.begin(), own.end(), [&](const std::string& o) {
                return var.compare(0, o.find('=') + 1, o, 0, o.find('=') + 1) == 0;
            });
            if (!replaced && var.compare(0, 4, "SDL_") != 0) vars_.push_back(var);
        }
        vars_.insert(vars_.end(), own.begin(), own.end());
        for (std::string& v : vars_) env_.push_back(v.data());
        env_.push_back(nullptr);
        std::string path = PLEMBY_BINARY_DIR "/plemby";
        char* argv[] = {path.data(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (!errors.empty()) {
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errors.c_str(),
                                             O_WRONLY | O_CREAT | O_TRUNC, 0600);
        }
        // As a player starts it, whatever the test program was started from: a shell's
        // background job ignores SIGINT and SIGQUIT, and the game would inherit that.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (const int sig : {SIGINT, SIGQUIT, SIGTERM}) sigaddset(&defaults, sig);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
        if (posix_spawn(&pid_, path.c_str(), &actions, &attributes, argv, env_.data()) != 0)
            pid_ = -1;
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~GameProcess() {
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    GameProcess(const GameProcess&) = delete;
    GameProcess& operator=(const GameProcess&) = delete;

    bool Started() const { return pid_ > 0; }

    // Waits until the process runs at least `count` threads.
    bool WaitForThreads(std::size_t count) const {
        const std::string tasks = "/proc/" + std::to_string(pid_) + "/task";
        for (int i = 0; i < 1200; ++i) {
            std::error_code error;
            std::size_t running = 0;
            for (auto it = std::filesystem::directory_iterator(tasks, error);
                 !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
                ++running;
            }
            if (running >= count) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void Signal(int sig) const { kill(pid_, sig); }

    // The exit status, or -1 when it did not end normally.
    int Wait() {
        int status = 0;
        const pid_t waited = waitpid(pid_, &status, 0);
        pid_ = -1;
        if (waited < 0 || !WIFEXITED(status)) return -1;
        return WEXITSTATUS(status);
    }

private:
    pid_t pid_ = -1;
    std::vector<std::string> vars_;
    std::vector<char*> env_;
};

std::string RunDir() { return TestHomeDir() + "/run"; }
std::string SettingsFile() { return TestHomeDir() + "/config/plemby/settings.bin"; }

std::string TempDir() { return TestHomeDir() + "/tmp"; }

// Waits (generously: sanitizer builds on a busy machine start slowly) until the file exists.
bool WaitForFile(const std::string& path) {
    for (int i = 0; i < 1200; ++i) {
        if (std::filesystem::exists(path)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// The running copy opens its socket once it holds the lock and its window exists.
bool WaitUntilRunning() { return WaitForFile(RunDir() + "/plemby.sock"); }

std::string FileText(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    if (!std::filesystem::exists(folder)) return names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder)) {
        names.push_back(e.path().string());
    }
    return names;
}

TEST(SingleInstance, SecondCopyExits255AndTheFirstEndsCleanlyOnSigterm) {
    ClearTestHome();
    GameProcess first;
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitUntilRunning());
    const auto configBefore = Entries(TestHomeDir() + "/config");
    const auto runBefore = Entries(RunDir());

    GameProcess second;
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.Wait(), 255);
    EXPECT_EQ(Entries(TestHomeDir() + "/config"), configBefore);
    EXPECT_EQ(Entries(RunDir()), runBefore);

    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0);
    const auto stored = ReadSmallFile(SettingsFile(), 64);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), 12u);
    EXPECT_FALSE(std::filesystem::exists(RunDir() + "/plemby.sock"));
}

TEST(SingleInstance, NextStartReadsTheStoredRecordBack) {
    ClearTestHome();
    // Bytes 3, 4, 10 and 11 are never written back, so they show where the record came from.
    const std::vector<std::uint8_t> record = {0, 1, 1, 3, 4, 6, 6, 6, 1, 0, 1, 0x42};
    ASSERT_TRUE(SaveFileAtomically(SettingsFile(), record));
    GameProcess game;
    ASSERT_TRUE(game.Started());
    ASSERT_TRUE(WaitUntilRunning());
    game.Signal(SIGINT);
    EXPECT_EQ(game.Wait(), 0);
    // Nothing changed while it ran, so what it stores is what it read.
    EXPECT_EQ(ReadSmallFile(SettingsFile(), 64), record);
}

// Whatever XDG_RUNTIME_DIR holds, a second copy finds the first: a runtime folder that cannot
// hold the lock (missing, a plain file, holding another user's lock file) is passed over for
// the temporary folder, which every copy locks too, and the raise request goes to the socket
// beside the lock that was found taken.
TEST(SingleInstance, CopiesWithUnusableRuntimeFoldersStillFindTheRunningOne) {
    ClearTestHome();
    ASSERT_TRUE(ClaimSingleInstance());  // this test program plays the running copy
    ListenForRaiseRequests();
    EXPECT_TRUE(std::filesystem::exists(RunDir() + "/plemby.lock"));
    const std::string shared = TempDir() + "/plemby-" + std::to_string(getuid());
    EXPECT_TRUE(std::filesystem::exists(shared + ".lock"));
    EXPECT_TRUE(std::filesystem::exists(shared + ".sock"));

    const std::string plainFile = TestHomeDir() + "/home/not-a-folder";
    std::ofstream(plainFile) << "x";
    const std::string foreign = TestHomeDir() + "/home/foreign";
    std::filesystem::create_directories(foreign);
    std::ofstream(foreign + "/plemby.lock") << "";
    std::vector<std::string> runtimes = {TestHomeDir() + "/missing", plainFile, RunDir(),
                                         "relative"};
    // Only root can give a file away.
    if (chown((foreign + "/plemby.lock").c_str(), 65534, 65534) == 0) runtimes.push_back(foreign);
    for (const std::string& runtime : runtimes) {
        TakeRaiseRequest();
        GameProcess second({"XDG_RUNTIME_DIR=" + runtime});
        ASSERT_TRUE(second.Started());
        EXPECT_EQ(second.Wait(), 255) << runtime;
        EXPECT_TRUE(TakeRaiseRequest()) << runtime;
    }
    ReleaseSingleInstance();
    EXPECT_FALSE(std::filesystem::exists(shared + ".sock"));

    // The game itself in the running copy's place: found through the temporary folder.
    GameProcess first({"XDG_RUNTIME_DIR=" + plainFile});
    ASSERT_TRUE(first.Started());
    ASSERT_TRUE(WaitForFile(shared + ".sock"));
    GameProcess second;
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.Wait(), 255);
    first.Signal(SIGTERM);
    EXPECT_EQ(first.Wait(), 0);
}

// Only when no folder can hold a lock does the game run without one, and says so.
TEST(SingleInstance, RunsWithoutALockOnlyWhenNoFolderCanHoldOne) {
    ClearTestHome();
    const std::string errors = TestHomeDir() + "/home/errors.txt";
    const std::string missing = TestHomeDir() + "/missing";
    GameProcess game({"XDG_RUNTIME_DIR=" + missing, "TMPDIR=" + missing}, errors);
    ASSERT_TRUE(game.Started());
    // Without a lock there is no socket to wait for; the music thread shows that the game has
    // started, and with it the handling of SIGTERM.
    ASSERT_TRUE(game.WaitForThreads(2));
    game.Signal(SIGTERM);
    EXPECT_EQ(game.Wait(), 0);
    const std::string text = FileText(errors);
    EXPECT_NE(text.find("running without it"), std::string::npos) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
}

}  // namespace
