#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "support/temp_home.h"

extern char** environ;

namespace {

// The built game, run headless with its own folders under the test's temporary home.
class GameProcess {
public:
    GameProcess() {
        // Without framebuffer acceleration the offscreen driver loads no EGL, whose unloading
        // at exit would leave its allocations unreachable and fail the leak check.
        const std::vector<std::string> own = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy",
                                              "SDL_RENDER_DRIVER=software",
                                              "SDL_FRAMEBUFFER_ACCELERATION=0"};
        for (char** e = environ; *e != nullptr; ++e) {
            if (std::strncmp(*e, "SDL_", 4) != 0) vars_.emplace_back(*e);
        }
        vars_.insert(vars_.end(), own.begin(), own.end());
        for (std::string& v : vars_) env_.push_back(v.data());
        env_.push_back(nullptr);
        std::string path = PLEMBY_BINARY_DIR "/plemby";
        char* argv[] = {path.data(), nullptr};
        if (posix_spawn(&pid_, path.c_str(), nullptr, nullptr, argv, env_.data()) != 0) pid_ = -1;
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

// The running copy opens its socket once it holds the lock and its window exists.
bool WaitUntilRunning() {
    for (int i = 0; i < 600; ++i) {
        if (std::filesystem::exists(RunDir() + "/plemby.sock")) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
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

}  // namespace
