#include "app/settings.h"
#include "app/shell.h"
#include "gfx/renderer.h"
#include "music/player.h"
#include "platform/keys.h"

std::uint8_t HotkeyLatch = 0;

namespace {

constexpr std::uint8_t VOLUME_STEPS = 25;

std::uint8_t Flipped(std::uint8_t flag) { return flag == 0 ? 1 : 0; }

void TogglePause() { Paused = Flipped(Paused); }

void SoundVolumeDown() {
    if (settings.soundVolume > 0) --settings.soundVolume;
}

void SoundVolumeUp() {
    if (settings.soundVolume < VOLUME_STEPS) ++settings.soundVolume;
}

void MusicVolumeDown() {
    if (settings.musicVolume == 0) return;
    --settings.musicVolume;
    SetMusicVolume(settings.musicVolume);
}

void MusicVolumeUp() {
    if (settings.musicVolume >= VOLUME_STEPS) return;
    ++settings.musicVolume;
    SetMusicVolume(settings.musicVolume);
}

// Both tests look at the value before the toggle: a stored value other than 0 or 1 neither
// pauses nor resumes.
void ToggleMusic() {
    const std::uint8_t was = settings.musicOn;
    if (was == 1) PauseMusic();
    if (was == 0) ResumeMusic();
    settings.musicOn = Flipped(was);
}

void ToggleSound() { settings.soundOn = Flipped(settings.soundOn); }
void ToggleRotation() { settings.rotateReversed = Flipped(settings.rotateReversed); }
void SwitchFullscreen() { settings.fullscreen = ToggleFullscreen(settings.fullscreen); }

struct Hotkey {
    int key;
    void (*action)();
};

// Tested in this order; the first key found down decides the call.
constexpr Hotkey HOTKEYS[] = {
    {'P', TogglePause},         {VK_NEXT, SoundVolumeDown},
    {VK_PRIOR, SoundVolumeUp},  {VK_SUBTRACT, MusicVolumeDown},
    {VK_ADD, MusicVolumeUp},    {'M', ToggleMusic},
    {'N', ToggleSound},         {'R', ToggleRotation},
    {VK_F10, SwitchFullscreen}, {VK_F12, RequestQuit},
};

}  // namespace

void HandleHotkeys() {
    for (const Hotkey& hotkey : HOTKEYS) {
        if (!KeyDown(hotkey.key)) continue;
        if (HotkeyLatch != 0) return;
        hotkey.action();
        // Also when the action changed nothing because a value stood at its limit.
        HotkeyLatch = 1;
        return;
    }
    HotkeyLatch = 0;
}
