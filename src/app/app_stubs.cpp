// Placeholders until the application shell lands.
#include "app/settings.h"
#include "app/shell.h"

Settings settings;
std::int32_t screenId = Title;

const SettingsRecord& StartupSettingsRecord() {
    static const SettingsRecord builtIn{0, 1, 1, 25, 25, 6, 6, 6, 1, 0, 0, 0x80};
    return builtIn;
}
void ReadOtherSettings(const SettingsRecord&) {}
void RequestQuit() {}
