#include "platform/files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/portable.h"
#include "support/temp_home.h"

namespace {

class Files : public ::testing::Test {
protected:
    void SetUp() override { ClearTestHome(); }
};

TEST_F(Files, UserFoldersFollowXdgElseHome) {
    if (OnWindows()) GTEST_SKIP() << "Windows keeps the player's files in %APPDATA%\\Plemby";
    EXPECT_EQ(ConfigDir(), TestHomeDir() + "/config/plemby");
    EXPECT_EQ(DataDir(), TestHomeDir() + "/data/plemby");

    const std::string config = std::getenv("XDG_CONFIG_HOME");
    const std::string data = std::getenv("XDG_DATA_HOME");
    SetEnvironment("XDG_CONFIG_HOME", nullptr);
    SetEnvironment("XDG_DATA_HOME", "relative/path");
    EXPECT_EQ(ConfigDir(), TestHomeDir() + "/home/.config/plemby");
    EXPECT_EQ(DataDir(), TestHomeDir() + "/home/.local/share/plemby");
    SetEnvironment("XDG_CONFIG_HOME", config.c_str());
    SetEnvironment("XDG_DATA_HOME", data.c_str());
}

// On Windows both kinds of files live in %APPDATA%\Plemby, whatever letters the profile's
// name has, and a path past the old 260-character limit saves and reads like any other.
TEST_F(Files, WindowsUserFolderTakesAnyLettersAndLongPaths) {
    if (!OnWindows()) GTEST_SKIP() << "only Windows keeps the player's files in %APPDATA%";
    const std::string appData = TestHomeDir() + "/appdata/Zo\u00eb \u00d8rsted \u5c0f";
    SetEnvironment("APPDATA", appData.c_str());
    EXPECT_EQ(ConfigDir(), appData + "\\Plemby");
    EXPECT_EQ(DataDir(), ConfigDir());
    // A Windows player is told of the folder Windows has, never of XDG's variables.
    EXPECT_EQ(NoDataDirReason().find("XDG"), std::string::npos);
    EXPECT_NE(NoDataDirReason().find("%APPDATA%"), std::string::npos);
    const std::vector<std::uint8_t> bytes = {4, 5, 6};
    ASSERT_TRUE(SaveFileAtomically(ConfigDir() + "/settings.bin", bytes));
    EXPECT_EQ(ReadSmallFile(ConfigDir() + "/settings.bin", 16), bytes);
    const std::string stored = appData + "/Plemby/settings.bin";
    EXPECT_TRUE(std::filesystem::exists(reinterpret_cast<const char8_t*>(stored.c_str())));

    const std::string longRoot = std::filesystem::absolute(TestHomeDir() + "/long").string();
    std::string deep = longRoot;
    while (deep.size() < 300) deep += "/a-folder-name-of-some-length";
    ASSERT_TRUE(SaveFileAtomically(deep + "/scores.bin", bytes));
    EXPECT_EQ(ReadSmallFile(deep + "/scores.bin", 16), bytes);
    ASSERT_TRUE(SaveFileAtomically(deep + "/scores.bin", std::vector<std::uint8_t>{7}));
    EXPECT_EQ(ReadSmallFile(deep + "/scores.bin", 16), std::vector<std::uint8_t>{7});
    SetEnvironment("APPDATA", (TestHomeDir() + "/appdata").c_str());
    // The test's own clean-up takes only short paths; this one is marked as long.
    std::error_code ignored;
    std::filesystem::remove_all(
        "\\\\?\\" + std::filesystem::path(longRoot).make_preferred().string(), ignored);
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
    std::error_code error;
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() + std::chrono::seconds(seconds), error);
    ASSERT_FALSE(error) << path << ": " << error.message();
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
    // Making a link may need rights that a Windows account lacks; where it cannot be made there
    // is nothing to pass over.
    std::error_code noLink;
    std::filesystem::create_symlink(folder + "/other.bin.Xy12Ab", folder + "/settings.bin.Linked",
                                    noLink);

    EXPECT_EQ(RemoveStaleTemporaries(path), 2);
    EXPECT_EQ(RemoveStaleTemporaries(path), 0);
    EXPECT_FALSE(std::filesystem::exists(folder + "/settings.bin.a1B2c3"));
    EXPECT_FALSE(std::filesystem::exists(folder + "/settings.bin.ZZZZZZ"));
    for (const std::string& name : kept)
        EXPECT_TRUE(std::filesystem::exists(folder + "/" + name)) << name;
    EXPECT_TRUE(std::filesystem::exists(folder + "/settings.bin.Fresh1"));
    EXPECT_TRUE(std::filesystem::is_directory(folder + "/settings.bin.Folder"));
    if (!noLink) {
        EXPECT_TRUE(std::filesystem::is_symlink(folder + "/settings.bin.Linked"));
    }
    EXPECT_EQ(ReadSmallFile(path, 16), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_EQ(RemoveStaleTemporaries(TestHomeDir() + "/missing/settings.bin"), 0);
    EXPECT_EQ(RemoveStaleTemporaries(""), 0);
}

}  // namespace
