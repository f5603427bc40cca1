#pragma once

#include <cstdint>

// The changes of the live settings that both the hotkeys and the options screen make, each
// keeping the setting's range: a value at its limit stays there, and a value outside the range
// only moves back toward it.
// 1 from 0, else 0.
constexpr std::uint8_t Flipped(std::uint8_t flag) { return flag == 0 ? 1 : 0; }

// Pauses the music from 1 and resumes it from 0, each against the value before the toggle; a
// stored value other than 0 or 1 does neither. Then flips the switch.
void ToggleMusicSwitch();
void ToggleSoundSwitch();
void ToggleRotationSwitch();
// Full screen or back to a window; keeps whatever flag the switch returns.
void SwitchFullscreen();
// The music volume goes to the player at once; the effects volume applies from the next sound.
void MusicVolumeDown();
void MusicVolumeUp();
void SoundVolumeDown();
void SoundVolumeUp();
