#pragma once

class CSound;

// The six sound effects, in the order they are created.
enum class SoundId { Hover, Click, LineClear, Rotate, FourLines, LevelUp };

// The sound manager over the platform's effects output (opened before this); always true.
// Without a device no sound is made and every PlayEffect does nothing.
bool InitSound();
// One effect by name ("#112" ...), or nullptr when there is no device or no such sound.
CSound* LoadSound(const char* name);
// Creates the six effects in the order Hover, Click, LineClear, Rotate, FourLines, LevelUp.
void LoadSounds();
// The one way to start an effect: does nothing while soundOn or soundVolume is 0.
void PlayEffect(SoundId id);
bool SoundLoaded(SoundId id);
// Destroys the effects (Click, LineClear, Hover, Rotate, FourLines, LevelUp) and the manager;
// the sound code is then back as it was at start-up.
void ShutdownSound();
