#include "app/settings.h"

#include <algorithm>
#include <string>

#include "app/player_file.h"
#include "app/settings_testing.h"
#include "platform/files.h"
#include "platform/resource_ids.h"
#include "platform/resources.h"

namespace {

constexpr PlayerFileKind SETTINGS_FILE = {
    .contents = "the settings",
    .builtIn = "the built-in settings",
    .folder = ConfigDir,
    .noFolderReason = NoConfigDirReason,
    .fileName = "settings.bin",
    .maxBytes = SETTINGS_RECORD_SIZE,
};
// The built-in record, used when the resource should be missing: the defaults and a spare byte.
constexpr std::uint8_t SPARE_BYTE_DEFAULT = 0x80;
constexpr SettingsRecord DEFAULT_RECORD = [] {
    SettingsRecord record{};
    for (int i = 0; i < SETTING_COUNT; ++i) record[i] = SETTING_TABLE[i].defaultValue;
    record[SPARE_BYTE] = SPARE_BYTE_DEFAULT;
    return record;
}();

struct SettingsStore {
    bool read = false;
    PlayerFileState file;
    SettingsRecord startup{};
};
SettingsStore store;

SettingsRecord BuiltInRecord() {
    const auto bytes = FindResource("TEXT", DEFAULT_SETTINGS_ID);
    const auto record = ParseSettingsRecord(bytes);
    return record ? *record : DEFAULT_RECORD;
}

std::string TakeStoredRecord(std::span<const std::uint8_t> bytes) {
    const auto record = ParseSettingsRecord(bytes);
    if (!record) return "are damaged or out of range; playing with the built-in settings";
    store.startup = *record;
    return {};
}

}  // namespace

std::optional<SettingsRecord> ParseSettingsRecord(std::span<const std::uint8_t> bytes) {
    if (bytes.size() != SETTINGS_RECORD_SIZE) return std::nullopt;
    SettingsRecord record{};
    for (int i = 0; i < SETTING_COUNT; ++i) {
        if (bytes[i] < SETTING_TABLE[i].lowest || bytes[i] > SETTING_TABLE[i].highest) {
            return std::nullopt;
        }
    }
    std::copy(bytes.begin(), bytes.end(), record.begin());
    return record;
}

const SettingsRecord& StartupSettingsRecord() {
    if (!store.read) {
        store.startup = BuiltInRecord();
        LoadPlayerFile(SETTINGS_FILE, store.file, TakeStoredRecord);
        store.read = true;
    }
    return store.startup;
}

void ReadDisplayMode(const SettingsRecord& record) {
    settings.fullscreen = record[DISPLAY_MODE_BYTE];
}

void ReadOtherSettings(const SettingsRecord& record) {
    for (int i = DISPLAY_MODE_BYTE + 1; i < SETTING_COUNT; ++i) {
        settings.*SETTING_TABLE[i].field = record[i];
    }
}

void StoreSettings() {
    SettingsRecord record = StartupSettingsRecord();
    for (int i = 0; i < SETTING_COUNT; ++i) {
        if (SETTING_TABLE[i].stored) record[i] = settings.*SETTING_TABLE[i].field;
    }
    SavePlayerFile(SETTINGS_FILE, store.file, record);
}

void ResetSettings() {
    settings = Settings{};
    store = SettingsStore{};
}
