#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// The eleven live settings, one byte each; the options screen, the hotkeys and the game read
// and change them here.
struct Settings {
    std::uint8_t fullscreen = 0;
    std::uint8_t musicOn = 1;
    std::uint8_t soundOn = 1;
    std::uint8_t musicVolume = 25;
    std::uint8_t soundVolume = 25;
    std::uint8_t moveRepeat = 6;
    std::uint8_t rotateRepeat = 6;
    std::uint8_t dropRepeat = 6;
    std::uint8_t startLevel = 1;
    std::uint8_t garbageRows = 0;
    std::uint8_t rotateReversed = 0;
};
extern Settings settings;

// The settings fixed when a game begins, which change how it plays: a new game takes them, and
// its recording keeps them, in this order. The turning direction, which R changes during a game,
// comes with every frame instead.
struct PlaySettings {
    std::uint8_t startLevel = 1;
    std::uint8_t garbageRows = 0;
    std::uint8_t moveRepeat = 6;
    std::uint8_t rotateRepeat = 6;
    std::uint8_t dropRepeat = 6;
    bool operator==(const PlaySettings&) const = default;
};

// One row per setting, in the order of the stored record's bytes 0 to 10: the setting, its
// default, the range the game keeps it in (and takes from a stored record), whether shutdown
// stores it (the volumes and the turning direction keep the stored values), and its place in a
// game's play settings when it changes how the game plays.
struct SettingRow {
    std::uint8_t Settings::*field;
    std::uint8_t defaultValue;
    std::uint8_t lowest;
    std::uint8_t highest;
    bool stored;
    std::uint8_t PlaySettings::*play;
};
// clang-format off
inline constexpr SettingRow SETTING_TABLE[] = {
    {&Settings::fullscreen, 0, 0, 255, true, nullptr},  // 0 or nonzero
    {&Settings::musicOn, 1, 0, 1, true, nullptr},
    {&Settings::soundOn, 1, 0, 1, true, nullptr},
    {&Settings::musicVolume, 25, 0, 25, false, nullptr},
    {&Settings::soundVolume, 25, 0, 25, false, nullptr},
    {&Settings::moveRepeat, 6, 1, 10, true, &PlaySettings::moveRepeat},  // frames between repeats
    {&Settings::rotateRepeat, 6, 1, 10, true, &PlaySettings::rotateRepeat},
    {&Settings::dropRepeat, 6, 1, 10, true, &PlaySettings::dropRepeat},
    {&Settings::startLevel, 1, 1, 10, true, &PlaySettings::startLevel},
    {&Settings::garbageRows, 0, 0, 16, true, &PlaySettings::garbageRows},
    {&Settings::rotateReversed, 0, 0, 1, false, nullptr},
};
// clang-format on
constexpr int SETTING_COUNT = static_cast<int>(std::size(SETTING_TABLE));

// The row of a setting; a setting without one does not compile where the row is needed at
// compile time. Plain constexpr rather than consteval: clang 14 refuses a consteval call whose
// argument is a member-pointer template parameter, which the options screen's steps pass.
constexpr const SettingRow& RowOf(std::uint8_t Settings::*field) {
    for (const SettingRow& row : SETTING_TABLE) {
        if (row.field == field) return row;
    }
    throw "the setting has no row in SETTING_TABLE";
}
constexpr std::uint8_t Lowest(std::uint8_t Settings::*field) { return RowOf(field).lowest; }
constexpr std::uint8_t Highest(std::uint8_t Settings::*field) { return RowOf(field).highest; }

// Every field has one row and Settings{} holds the table's defaults.
constexpr bool TableDescribesSettings() {
    if (sizeof(Settings) != SETTING_COUNT) return false;
    const Settings defaults{};
    for (int i = 0; i < SETTING_COUNT; ++i) {
        if (defaults.*SETTING_TABLE[i].field != SETTING_TABLE[i].defaultValue) return false;
        for (int j = 0; j < i; ++j) {
            if (SETTING_TABLE[j].field == SETTING_TABLE[i].field) return false;
        }
    }
    return true;
}
static_assert(TableDescribesSettings(), "one row per setting, with the defaults of Settings");

// Every field of PlaySettings is the play column of exactly one row, with that row's default: a
// setting that changes play cannot be added to one and forgotten in the other.
constexpr bool TableDescribesPlaySettings() {
    const PlaySettings defaults{};
    std::size_t rows = 0;
    for (int i = 0; i < SETTING_COUNT; ++i) {
        const SettingRow& row = SETTING_TABLE[i];
        if (row.play == nullptr) continue;
        ++rows;
        if (defaults.*row.play != row.defaultValue) return false;
        for (int j = 0; j < i; ++j) {
            if (SETTING_TABLE[j].play == row.play) return false;
        }
    }
    return rows == sizeof(PlaySettings);
}
static_assert(TableDescribesPlaySettings(), "one row per play setting, with its default");

// The play settings of `from`, for a new game.
constexpr PlaySettings PlaySettingsOf(const Settings& from) {
    PlaySettings play;
    for (const SettingRow& row : SETTING_TABLE) {
        if (row.play != nullptr) play.*row.play = from.*row.field;
    }
    return play;
}

// Whether each of `play` lies in its row's range (a recording read from outside bytes).
constexpr bool PlaySettingsInRange(const PlaySettings& play) {
    for (const SettingRow& row : SETTING_TABLE) {
        if (row.play == nullptr) continue;
        if (play.*row.play < row.lowest || play.*row.play > row.highest) return false;
    }
    return true;
}
