#include "app/settings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "app/settings_testing.h"
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
    // The stored file exists but could not be read: it may hold the player's settings.
    bool keepStoredFile = false;
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
    if (path.empty()) return BuiltInRecord();
    // Read once, at start-up, by the one running copy: what a killed save left can go.
    RemoveStaleTemporaries(path);
    const StoredFile stored = ReadStoredFile(path, SETTINGS_RECORD_SIZE);
    if (stored.state == StoredFileState::Unreadable) {
        store.keepStoredFile = true;
        ReportProblem("cannot read the settings in " + path + " (" + stored.problem +
                      "); playing with the built-in settings, which will not be stored");
    } else if (stored.state == StoredFileState::Read) {
        if (const auto record = ParseSettingsRecord(stored.bytes)) return *record;
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
    if (store.keepStoredFile) return;
    const std::string path = SettingsPath();
    // A folder we cannot write leaves the old record (or none).
    if (!path.empty() && !SaveFileAtomically(path, record)) {
        ReportProblem("cannot store the settings in " + path + " (" + std::strerror(errno) + ")");
    }
}

void ResetSettings() {
    settings = Settings{};
    store = SettingsStore{};
}
