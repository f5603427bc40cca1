#include "sound/sound.h"

#include <array>

#include "common/settings.h"
#include "sound/sound_system.h"

namespace {

// The highest volume step plays the sound as it is.
constexpr int MAX_SOUND_VOLUME = Highest(&Settings::soundVolume);
// The format the effects are mixed in before the output resamples them.
constexpr std::uint32_t EFFECTS_CHANNELS = 2;
constexpr std::uint32_t EFFECTS_RATE = 44100;
constexpr std::uint32_t EFFECTS_BITS = 16;
// Each volume step below the top is 2 dB quieter.
constexpr std::int32_t VOLUME_STEP_ATTENUATION = 200;

// A sound's name: "#" and the resource id in decimal.
struct SoundName {
    char text[8] = {};
};
constexpr SoundName NameOf(int resourceId) {
    SoundName name;
    char digits[6] = {};
    int count = 0;
    for (int id = resourceId; id > 0 && count < 6; id /= 10) {
        digits[count++] = static_cast<char>('0' + id % 10);
    }
    name.text[0] = '#';
    for (int i = 0; i < count; ++i) name.text[1 + i] = digits[count - 1 - i];
    return name;
}

// The rows stand in SoundId order, so a sound's row is found by its id.
constexpr bool RowsInIdOrder() {
    for (int i = 0; i < SOUND_COUNT; ++i) {
        if (static_cast<int>(SOUND_TABLE[i].id) != i) return false;
    }
    return true;
}
static_assert(RowsInIdOrder(), "the sound table lists the effects in SoundId order");

constexpr std::array<SoundName, SOUND_COUNT> SOUND_NAMES = [] {
    std::array<SoundName, SOUND_COUNT> names{};
    for (int i = 0; i < SOUND_COUNT; ++i) names[i] = NameOf(SOUND_TABLE[i].resourceId);
    return names;
}();

// Every rank 0..count-1 once.
constexpr bool RanksArePlaces() {
    std::array<int, SOUND_COUNT> seen{};
    for (const SoundRow& row : SOUND_TABLE) {
        if (row.releaseRank < 0 || row.releaseRank >= SOUND_COUNT) return false;
        ++seen[row.releaseRank];
    }
    for (int n : seen) {
        if (n != 1) return false;
    }
    return true;
}
static_assert(RanksArePlaces(), "each sound has its own release rank");

constexpr std::array<SoundId, SOUND_COUNT> RELEASE_ORDER = [] {
    std::array<SoundId, SOUND_COUNT> order{};
    for (const SoundRow& row : SOUND_TABLE) order[row.releaseRank] = row.id;
    return order;
}();

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
    // Without a device the manager stands all the same and every effect is silent.
    return true;
}

CSound* LoadSound(const char* name) {
    if (soundState.soundSystem == nullptr) return nullptr;
    CSound* sound = nullptr;
    if (Failed(
            soundState.soundSystem->CreateSound(&sound, name, DSBCAPS_CTRLVOLUME, GUID_NULL, 1))) {
        return nullptr;
    }
    return sound;
}

void LoadSounds() {
    for (int i = 0; i < SOUND_COUNT; ++i) {
        delete soundState.sounds[i];
        soundState.sounds[i] = LoadSound(SOUND_NAMES[i].text);
    }
}

void PlayEffect(SoundId id, Random& random) {
    if (settings.soundOn == 0 || settings.soundVolume == 0) return;
    CSound* sound = SoundOf(id);
    if (sound == nullptr) return;
    sound->Play(0, 0, (settings.soundVolume - MAX_SOUND_VOLUME) * VOLUME_STEP_ATTENUATION,
                KEEP_FREQUENCY, 0, random);
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
