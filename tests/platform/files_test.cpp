#include "platform/files.h"

#include <gtest/gtest.h>

#include <cstdlib>
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

}  // namespace
