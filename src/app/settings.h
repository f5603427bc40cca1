#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "common/settings.h"

// The stored form: byte n holds the n-th setting in the order of Settings; byte 11 is kept as
// read.
constexpr int SETTINGS_RECORD_SIZE = 12;
constexpr int DISPLAY_MODE_BYTE = 0;
constexpr int SPARE_BYTE = 11;
using SettingsRecord = std::array<std::uint8_t, SETTINGS_RECORD_SIZE>;
static_assert(SETTING_COUNT == SPARE_BYTE && SPARE_BYTE + 1 == SETTINGS_RECORD_SIZE);
static_assert(SETTING_TABLE[DISPLAY_MODE_BYTE].field == &Settings::fullscreen);

// The record start-up works from: the stored one when it is valid, else the built-in one.
const SettingsRecord& StartupSettingsRecord();
// Byte 0 into `fullscreen` (before the window exists).
void ReadDisplayMode(const SettingsRecord& record);
// Bytes 1 to 10 into their settings (during resource loading).
void ReadOtherSettings(const SettingsRecord& record);

// A stored record as read from outside: exactly 12 bytes with every setting inside its range in
// SETTING_TABLE (byte 0 and byte 11 may hold anything). nullopt otherwise.
std::optional<SettingsRecord> ParseSettingsRecord(std::span<const std::uint8_t> bytes);
// Shutdown: the record read at start-up with the stored settings of SETTING_TABLE written over
// it, saved to the config folder. The volumes, rotateReversed and byte 11 keep the values read.
// A stored file that could not be read at start-up is left as it is; a failed save is said on
// stderr.
void StoreSettings();
