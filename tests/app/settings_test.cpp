#include "app/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "app/settings_testing.h"
#include "platform/files.h"
#include "platform/resources.h"
#include "support/portable.h"
#include "support/temp_home.h"

namespace {

constexpr SettingsRecord DEFAULTS = {0, 1, 1, 25, 25, 6, 6, 6, 1, 0, 0, 0x80};

std::string SettingsFile() { return ConfigDir() + "/settings.bin"; }
// The folder that holds the game's own config folder.
std::string ConfigParent() { return std::filesystem::path(ConfigDir()).parent_path().string(); }

void WriteStored(std::span<const std::uint8_t> bytes) {
    ASSERT_TRUE(SaveFileAtomically(SettingsFile(), bytes));
}

SettingsRecord ReadStored() {
    const auto bytes = ReadSmallFile(SettingsFile(), 64);
    SettingsRecord record{};
    if (!bytes || bytes->size() != record.size()) {
        ADD_FAILURE() << "no 12-byte record stored";
        return record;
    }
    std::copy(bytes->begin(), bytes->end(), record.begin());
    return record;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override { ClearTestHome(); }
};

TEST_F(SettingsStore, WithoutStoredRecordTheBuiltInDefaultsApply) {
    EXPECT_EQ(StartupSettingsRecord(), DEFAULTS);
    settings = Settings{1, 0, 0, 0, 0, 9, 9, 9, 9, 9, 1};
    ReadDisplayMode(StartupSettingsRecord());
    ReadOtherSettings(StartupSettingsRecord());
    const Settings expected{};
    EXPECT_EQ(std::memcmp(&settings, &expected, sizeof expected), 0);
}

TEST_F(SettingsStore, RangesOfAStoredRecord) {
    EXPECT_TRUE(ParseSettingsRecord(DEFAULTS));
    EXPECT_TRUE(ParseSettingsRecord(FindResource("TEXT", 105)));

    // Byte 0 may be any nonzero value, byte 11 anything; the rest are held to their ranges.
    SettingsRecord edges = {0xFF, 0, 0, 0, 0, 1, 1, 1, 1, 0, 0, 0};
    EXPECT_TRUE(ParseSettingsRecord(edges));
    edges = {1, 1, 1, 25, 25, 10, 10, 10, 10, 16, 1, 0xFF};
    EXPECT_TRUE(ParseSettingsRecord(edges));

    const std::pair<int, std::uint8_t> outside[] = {
        {1, 2},  {2, 2}, {3, 26}, {4, 26}, {5, 0},   {5, 11}, {6, 0},
        {7, 11}, {8, 0}, {8, 11}, {9, 17}, {9, 255}, {10, 2},
    };
    for (const auto& [index, value] : outside) {
        SettingsRecord bad = DEFAULTS;
        bad[static_cast<std::size_t>(index)] = value;
        EXPECT_FALSE(ParseSettingsRecord(bad)) << "byte " << index << " = " << int(value);
    }
    EXPECT_FALSE(ParseSettingsRecord(std::span(DEFAULTS).first(11)));
    const std::vector<std::uint8_t> longer(13, 1);
    EXPECT_FALSE(ParseSettingsRecord(longer));
    EXPECT_FALSE(ParseSettingsRecord({}));
}

TEST_F(SettingsStore, StoreKeepsVolumesRotationAndLastByteAsRead) {
    const SettingsRecord stored = {0, 0, 1, 7, 9, 2, 3, 4, 5, 6, 1, 0x33};
    WriteStored(stored);
    ReadDisplayMode(StartupSettingsRecord());
    ReadOtherSettings(StartupSettingsRecord());
    EXPECT_EQ(settings.musicVolume, 7);
    EXPECT_EQ(settings.garbageRows, 6);

    settings = Settings{1, 1, 0, 20, 21, 10, 9, 8, 7, 16, 0};
    StoreSettings();
    EXPECT_EQ(ReadStored(), (SettingsRecord{1, 1, 0, 7, 9, 10, 9, 8, 7, 16, 1, 0x33}));

    // The next start reads it back.
    ResetSettings();
    ReadDisplayMode(StartupSettingsRecord());
    ReadOtherSettings(StartupSettingsRecord());
    EXPECT_EQ(settings.fullscreen, 1);
    EXPECT_EQ(settings.moveRepeat, 10);
    EXPECT_EQ(settings.garbageRows, 16);
    EXPECT_EQ(settings.rotateReversed, 1);
}

TEST_F(SettingsStore, DamagedStoredRecordFallsBackToBuiltIn) {
    const std::vector<std::vector<std::uint8_t>> damaged = {
        {},
        {0, 1, 1, 25, 25, 6},
        {0, 1, 1, 25, 25, 6, 6, 6, 1, 0, 0, 0x80, 0},
        {0, 1, 1, 25, 25, 6, 6, 6, 1, 40, 0, 0x80},  // garbageRows past the well
        std::vector<std::uint8_t>(4096, 0xEE),
    };
    for (const auto& bytes : damaged) {
        ResetSettings();
        WriteStored(bytes);
        testing::internal::CaptureStderr();
        EXPECT_EQ(StartupSettingsRecord(), DEFAULTS) << bytes.size() << " bytes";
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("playing with the built-in settings"), std::string::npos) << said;
    }

    ResetSettings();
    std::filesystem::remove(SettingsFile());
    std::filesystem::create_directory(SettingsFile());
    EXPECT_EQ(StartupSettingsRecord(), DEFAULTS);
}

TEST_F(SettingsStore, UnwritableConfigFolderIsSaidOnStderr) {
    // The config "folder" is a file: nothing can be stored, and nothing breaks.
    std::filesystem::remove_all(ConfigParent());
    std::ofstream(ConfigParent()) << "not a folder";
    EXPECT_EQ(StartupSettingsRecord(), DEFAULTS);
    settings.startLevel = 4;
    testing::internal::CaptureStderr();
    StoreSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("cannot store the settings"), std::string::npos) << said;
    EXPECT_TRUE(std::filesystem::is_regular_file(ConfigParent()));
    std::filesystem::remove(ConfigParent());
}

// A stored record that exists but cannot be read may be the player's: the built-in settings
// are played with, it is said once, and the file is not written over at the end.
TEST_F(SettingsStore, StoredRecordThatCannotBeReadIsNeverWrittenOver) {
    std::filesystem::create_directories(ConfigDir());
    const UnreadableFile unreadable(SettingsFile());
    ASSERT_TRUE(unreadable.Made());
    testing::internal::CaptureStderr();
    EXPECT_EQ(StartupSettingsRecord(), DEFAULTS);
    settings.startLevel = 4;
    StoreSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("cannot read the settings"), std::string::npos) << said;
    EXPECT_TRUE(unreadable.Untouched());
}

}  // namespace
