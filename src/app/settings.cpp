#include "app/settings.h"

#include <algorithm>
#include <string>

#include "platform/files.h"
#include "platform/resource_ids.h"
#include "platform/resources.h"

namespace {

constexpr const char* SETTINGS_FILE = "settings.bin";
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
    SettingsRecord startup{};
};
SettingsStore store;

std::string SettingsPath() {
    const std::string folder = ConfigDir();
    return folder.empty() ? std::string() : folder + "/" + SETTINGS_FILE;
}

SettingsRecord BuiltInRecord() {
    const auto bytes = FindResource("TEXT", DEFAULT_SETTINGS_ID);
    const auto record = ParseSettingsRecord(bytes);
    return record ? *record : DEFAULT_RECORD;
}

SettingsRecord ReadStartupRecord() {
    const std::string path = SettingsPath();
    if (!path.empty()) {
        const auto bytes = ReadSmallFile(path, SETTINGS_RECORD_SIZE);
        if (bytes) {
            if (const auto record = ParseSettingsRecord(*bytes)) return *record;
        }
    }
    return BuiltInRecord();
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
        store.startup = ReadStartupRecord();
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
    const std::string path = SettingsPath();
    // A folder we cannot write leaves the old record (or none); the game says nothing.
    if (!path.empty()) SaveFileAtomically(path, record);
}

void ResetSettings() {
    settings = Settings{};
    store = SettingsStore{};
}
