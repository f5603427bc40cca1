#include <gtest/gtest.h>

#include "app/settings.h"
#include "common/random.h"
#include "platform/audio.h"
#include "platform/clock.h"
#include "sound/sound.h"

// Effects started on the main thread while the device's own thread mixes them.
TEST(EffectsThread, StartsWhileTheDeviceMixes) {
    if (!OpenAudioOutput()) GTEST_SKIP() << "no audio driver";
    settings.soundOn = 1;
    settings.soundVolume = 25;
    ASSERT_TRUE(InitSound());
    LoadSounds();
    for (int round = 0; round < 40; ++round) {
        PlayEffect(static_cast<SoundId>(round % 6), ProgramRandom());
        settings.soundVolume = static_cast<std::uint8_t>(1 + round % 25);
        SleepMs(3);
    }
    ShutdownSound();
    CloseAudioOutput();
    settings = Settings{};
}
