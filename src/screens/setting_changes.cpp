#include "screens/setting_changes.h"

#include "common/settings.h"
#include "gfx/back_buffer.h"
#include "music/player.h"

// The player's volume steps are the setting's.
static_assert(Highest(&Settings::musicVolume) == MAX_VOLUME_STEP);

void ToggleMusicSwitch() {
    const std::uint8_t was = settings.musicOn;
    if (was == 1) PauseMusic();
    if (was == 0) ResumeMusic();
    settings.musicOn = Flipped(was);
}

void ToggleSoundSwitch() { settings.soundOn = Flipped(settings.soundOn); }

void ToggleRotationSwitch() { settings.rotateReversed = Flipped(settings.rotateReversed); }

void SwitchFullscreen() { settings.fullscreen = ToggleFullscreen(settings.fullscreen); }

void MusicVolumeDown() {
    if (settings.musicVolume <= Lowest(&Settings::musicVolume)) return;
    --settings.musicVolume;
    SetMusicVolume(settings.musicVolume);
}

void MusicVolumeUp() {
    if (settings.musicVolume >= Highest(&Settings::musicVolume)) return;
    ++settings.musicVolume;
    SetMusicVolume(settings.musicVolume);
}

void SoundVolumeDown() {
    if (settings.soundVolume > Lowest(&Settings::soundVolume)) --settings.soundVolume;
}

void SoundVolumeUp() {
    if (settings.soundVolume < Highest(&Settings::soundVolume)) ++settings.soundVolume;
}
