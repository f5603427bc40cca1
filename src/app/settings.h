#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

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

// The stored form: byte n holds the setting in the order above; byte 11 is kept as read.
constexpr int SETTINGS_RECORD_SIZE = 12;
using SettingsRecord = std::array<std::uint8_t, SETTINGS_RECORD_SIZE>;

// The record start-up works from: the stored one when it is valid, else the built-in one.
const SettingsRecord& StartupSettingsRecord();
// Byte 0 into `fullscreen` (before the window exists).
void ReadDisplayMode(const SettingsRecord& record);
// Bytes 1 to 10 into their settings (during resource loading).
void ReadOtherSettings(const SettingsRecord& record);

// A stored record as read from outside: exactly 12 bytes with every setting inside the range
// the game keeps (byte 0 and byte 11 may hold anything). nullopt otherwise.
std::optional<SettingsRecord> ParseSettingsRecord(std::span<const std::uint8_t> bytes);
// Shutdown: the record read at start-up with the eight stored settings written over it,
// saved to the config folder. The volumes, rotateReversed and byte 11 keep the values read.
// A stored file that could not be read at start-up is left as it is; a failed save is said on
// stderr.
void StoreSettings();
// The live settings back to their defaults and the start-up record forgotten (tests).
void ResetSettings();
