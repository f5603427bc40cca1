#include "app/settings.h"

#include <string>

#include "platform/files.h"
#include "platform/resources.h"

namespace {

constexpr int SETTINGS_RESOURCE_ID = 105;
constexpr const char* SETTINGS_FILE = "settings.bin";
// The built-in record, used when the resource should be missing.
constexpr SettingsRecord DEFAULT_RECORD = {0x00, 0x01, 0x01, 0x19, 0x19, 0x06,
                                           0x06, 0x06, 0x01, 0x00, 0x00, 0x80};

// The ranges of bytes 1 to 10 that the hotkeys and the options screen keep.
struct ByteRange {
    std::uint8_t low;
    std::uint8_t high;
};
constexpr ByteRange SETTING_RANGES[SETTINGS_RECORD_SIZE] = {
    {0, 255},  // fullscreen: 0 or nonzero
    {0, 1},    // musicOn
    {0, 1},    // soundOn
    {0, 25},   // musicVolume
    {0, 25},   // soundVolume
    {1, 10},   // moveRepeat
    {1, 10},   // rotateRepeat
    {1, 10},   // dropRepeat
    {1, 10},   // startLevel
    {0, 16},   // garbageRows
    {0, 1},    // rotateReversed
    {0, 255},  // not used
};

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
    const auto bytes = FindResource("TEXT", SETTINGS_RESOURCE_ID);
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
    for (std::size_t i = 0; i < record.size(); ++i) {
        if (bytes[i] < SETTING_RANGES[i].low || bytes[i] > SETTING_RANGES[i].high) {
            return std::nullopt;
        }
        record[i] = bytes[i];
    }
    return record;
}

const SettingsRecord& StartupSettingsRecord() {
    if (!store.read) {
        store.startup = ReadStartupRecord();
        store.read = true;
    }
    return store.startup;
}

void ReadDisplayMode(const SettingsRecord& record) { settings.fullscreen = record[0]; }

void ReadOtherSettings(const SettingsRecord& record) {
    settings.musicOn = record[1];
    settings.soundOn = record[2];
    settings.musicVolume = record[3];
    settings.soundVolume = record[4];
    settings.moveRepeat = record[5];
    settings.rotateRepeat = record[6];
    settings.dropRepeat = record[7];
    settings.startLevel = record[8];
    settings.garbageRows = record[9];
    settings.rotateReversed = record[10];
}

void StoreSettings() {
    SettingsRecord record = StartupSettingsRecord();
    record[0] = settings.fullscreen;
    record[1] = settings.musicOn;
    record[2] = settings.soundOn;
    record[5] = settings.moveRepeat;
    record[6] = settings.rotateRepeat;
    record[7] = settings.dropRepeat;
    record[8] = settings.startLevel;
    record[9] = settings.garbageRows;
    const std::string path = SettingsPath();
    // A folder we cannot write leaves the old record (or none); the game says nothing.
    if (!path.empty()) SaveFileAtomically(path, record);
}

void ResetSettings() {
    settings = Settings{};
    store = SettingsStore{};
}
