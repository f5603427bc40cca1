#include "sound/sound.h"

#include <array>

#include "common/settings.h"
#include "sound/sound_system.h"

namespace {

constexpr int SOUND_COUNT = 6;
constexpr int MAX_SOUND_VOLUME = 25;
// The format the effects are mixed in before the output resamples them.
constexpr std::uint32_t EFFECTS_CHANNELS = 2;
constexpr std::uint32_t EFFECTS_RATE = 44100;
constexpr std::uint32_t EFFECTS_BITS = 16;
// Each volume step below the top is 2 dB quieter.
constexpr std::int32_t VOLUME_STEP_ATTENUATION = 200;

// The effects' names in SoundId order.
constexpr std::array<const char*, SOUND_COUNT> SOUND_NAMES = {"#114", "#113", "#112",
                                                              "#133", "#134", "#135"};
// Shutdown releases them in this order.
constexpr std::array<SoundId, SOUND_COUNT> RELEASE_ORDER = {
    SoundId::Click,  SoundId::LineClear, SoundId::Hover,
    SoundId::Rotate, SoundId::FourLines, SoundId::LevelUp};

struct SoundState {
    CSoundSystem* soundSystem = nullptr;
    std::array<CSound*, SOUND_COUNT> sounds = {};
};
SoundState soundState;

CSound*& SoundOf(SoundId id) { return soundState.sounds[static_cast<std::size_t>(id)]; }

}  // namespace

bool InitSound() {
    ShutdownSound();
    soundState.soundSystem = new CSoundSystem();
    soundState.soundSystem->Initialize(DSSCL_PRIORITY);
    soundState.soundSystem->SetPrimaryFormat(EFFECTS_CHANNELS, EFFECTS_RATE, EFFECTS_BITS);
    return soundState.soundSystem->HasDevice();
}

CSound* LoadSound(const char* name) {
    if (soundState.soundSystem == nullptr) return nullptr;
    CSound* sound = nullptr;
    if (Failed(soundState.soundSystem->CreateSound(&sound, name, DSBCAPS_CTRLVOLUME, GUID_NULL,
                                                   1))) {
        return nullptr;
    }
    return sound;
}

void LoadSounds() {
    for (int i = 0; i < SOUND_COUNT; ++i) {
        delete soundState.sounds[i];
        soundState.sounds[i] = LoadSound(SOUND_NAMES[i]);
    }
}

void PlayEffect(SoundId id) {
    if (settings.soundOn == 0 || settings.soundVolume == 0) return;
    CSound* sound = SoundOf(id);
    if (sound == nullptr) return;
    sound->Play(0, 0, (settings.soundVolume - MAX_SOUND_VOLUME) * VOLUME_STEP_ATTENUATION,
                KEEP_FREQUENCY, 0);
}

bool SoundLoaded(SoundId id) { return SoundOf(id) != nullptr; }

void ShutdownSound() {
    for (SoundId id : RELEASE_ORDER) {
        delete SoundOf(id);
        SoundOf(id) = nullptr;
    }
    delete soundState.soundSystem;
    soundState.soundSystem = nullptr;
}
