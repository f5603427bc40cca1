// Placeholders until the sound manager lands.
#include "sound/sound.h"

bool InitSound() { return false; }
void LoadSounds() {}
void PlayEffect(SoundId) {}
void ShutdownSound() {}
