#pragma once

// The six sound effects, in the order they are created.
enum class SoundId { Hover, Click, LineClear, Rotate, FourLines, LevelUp };

// The sound manager over the platform's effects output; false when there is no device.
bool InitSound();
// Creates the six effects in the order Hover, Click, LineClear, Rotate, FourLines, LevelUp.
void LoadSounds();
// The one way to start an effect: does nothing while soundOn or soundVolume is 0.
void PlayEffect(SoundId id);
// Destroys the effects (Click, LineClear, Hover, Rotate, FourLines, LevelUp) and the manager.
void ShutdownSound();
