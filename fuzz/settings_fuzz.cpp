// Stored settings records: any bytes are either refused or give a record inside the ranges.
#include <cstdlib>

#include "app/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto record = ParseSettingsRecord({data, size});
    if (record) {
        ReadDisplayMode(*record);
        ReadOtherSettings(*record);
        const bool inRange =
            settings.musicOn <= 1 && settings.soundOn <= 1 && settings.musicVolume <= 25 &&
            settings.soundVolume <= 25 && settings.moveRepeat >= 1 && settings.moveRepeat <= 10 &&
            settings.rotateRepeat >= 1 && settings.rotateRepeat <= 10 && settings.dropRepeat >= 1 &&
            settings.dropRepeat <= 10 && settings.startLevel >= 1 && settings.startLevel <= 10 &&
            settings.garbageRows <= 16 && settings.rotateReversed <= 1;
        if (!inRange || size != SETTINGS_RECORD_SIZE) std::abort();
    }
    return 0;
}
