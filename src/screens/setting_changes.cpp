#include "screens/setting_changes.h"

#include "common/settings.h"
#include "gfx/renderer.h"
#include "music/player.h"

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
    if (settings.musicVolume == 0) return;
    --settings.musicVolume;
    SetMusicVolume(settings.musicVolume);
}

void MusicVolumeUp() {
    if (settings.musicVolume >= MAX_VOLUME_STEP) return;
    ++settings.musicVolume;
    SetMusicVolume(settings.musicVolume);
}

void SoundVolumeDown() {
    if (settings.soundVolume > 0) --settings.soundVolume;
}

void SoundVolumeUp() {
    if (settings.soundVolume < MAX_VOLUME_STEP) ++settings.soundVolume;
}
