#include "platform/files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

#include "support/temp_home.h"

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override { ClearTestHome(); }
};

TEST_F(Files, UserFoldersFollowXdgElseHome) {
    EXPECT_EQ(ConfigDir(), TestHomeDir() + "/config/plemby");
    EXPECT_EQ(DataDir(), TestHomeDir() + "/data/plemby");

    const std::string config = std::getenv("XDG_CONFIG_HOME");
    const std::string data = std::getenv("XDG_DATA_HOME");
    unsetenv("XDG_CONFIG_HOME");
    setenv("XDG_DATA_HOME", "relative/path", 1);
    EXPECT_EQ(ConfigDir(), TestHomeDir() + "/home/.config/plemby");
    EXPECT_EQ(DataDir(), TestHomeDir() + "/home/.local/share/plemby");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
}

TEST_F(Files, SaveReplacesWholeFileAndLeavesNoTemporary) {
    const std::string folder = TestHomeDir() + "/data/a/b";
    const std::string path = folder + "/scores.bin";
    const std::vector<std::uint8_t> first(300, 7);
    const std::vector<std::uint8_t> second = {1, 2, 3};
    ASSERT_TRUE(SaveFileAtomically(path, first));
    ASSERT_TRUE(SaveFileAtomically(path, second));
    EXPECT_EQ(ReadSmallFile(path, 16), second);
    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST_F(Files, FailedSaveKeepsTheOldFile) {
    const std::string path = TestHomeDir() + "/data/keep.bin";
    const std::vector<std::uint8_t> old = {9, 9};
    ASSERT_TRUE(SaveFileAtomically(path, old));
    // A folder in the way of the temporary file's rename target.
    const std::string blocked = TestHomeDir() + "/data/dir.bin";
    std::filesystem::create_directories(blocked + "/inside");
    EXPECT_FALSE(SaveFileAtomically(blocked, old));
    EXPECT_FALSE(SaveFileAtomically(TestHomeDir() + "/data/keep.bin/x", old));
    EXPECT_FALSE(SaveFileAtomically("", old));
    EXPECT_EQ(ReadSmallFile(path, 16), old);
}

TEST_F(Files, ReadRefusesWhatIsNotASmallRegularFile) {
    const std::string path = TestHomeDir() + "/data/f.bin";
    std::filesystem::create_directories(TestHomeDir() + "/data");
    std::ofstream(path, std::ios::binary) << std::string(100, 'x');
    EXPECT_EQ(ReadSmallFile(path, 100)->size(), 100u);
    EXPECT_FALSE(ReadSmallFile(path, 99));
    EXPECT_FALSE(ReadSmallFile(path + ".missing", 100));
    EXPECT_FALSE(ReadSmallFile(TestHomeDir() + "/data", 100));
    EXPECT_FALSE(ReadSmallFile("/dev/zero", 100));

    std::ofstream(path, std::ios::binary | std::ios::trunc);
    EXPECT_EQ(ReadSmallFile(path, 100)->size(), 0u);
}

// A file last written `seconds` from now (before it when negative).
void MakeFileWritten(const std::string& path, int seconds) {
    std::ofstream(path, std::ios::binary) << "torn";
    timespec times[2]{};
    clock_gettime(CLOCK_REALTIME, &times[0]);
    times[0].tv_sec += seconds;
    times[1] = times[0];
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

// A save killed between its temporary file and the rename leaves the temporary behind; the next
// start takes away those of our naming only, and only those older than itself.
TEST_F(Files, StaleTemporariesOfKilledSavesAreRemovedAndNothingElse) {
    const std::string folder = TestHomeDir() + "/config/plemby";
    const std::string path = folder + "/settings.bin";
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(SaveFileAtomically(path, std::vector<std::uint8_t>{1, 2, 3}));
    for (const char* stale : {"settings.bin.a1B2c3", "settings.bin.ZZZZZZ"}) {
        MakeFileWritten(folder + "/" + stale, -3600);
    }
    const std::vector<std::string> kept = {
        "settings.bin.Xy12Ab.bak", "settings.bin.Xy12A",    "settings.bin.Xy-2Ab",
        "settings.binXy12Ab",      "highscores.bin.Xy12Ab", "other.bin.Xy12Ab",
    };
    for (const std::string& name : kept) MakeFileWritten(folder + "/" + name, -3600);
    // Written after this process started: another copy's save, still under way.
    MakeFileWritten(folder + "/settings.bin.Fresh1", 3600);
    std::filesystem::create_directory(folder + "/settings.bin.Folder");
    std::filesystem::create_symlink(folder + "/other.bin.Xy12Ab", folder + "/settings.bin.Linked");

    EXPECT_EQ(RemoveStaleTemporaries(path), 2);
    EXPECT_EQ(RemoveStaleTemporaries(path), 0);
    EXPECT_FALSE(std::filesystem::exists(folder + "/settings.bin.a1B2c3"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/settings.bin.ZZZZZZ"));
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(folder + "/" + name)) << name;
    EXPECT_TRUE(std::filesystem::exists(folder + "/settings.bin.Fresh1"));
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/settings.bin.Folder"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "/settings.bin.Linked"));
    EXPECT_EQ(ReadSmallFile(path, 16), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(RemoveStaleTemporaries(TestHomeDir() + "/missing/settings.bin"), 0);
    EXPECT_EQ(RemoveStaleTemporaries(""), 0);
}

}  // namespace
