// Placeholders until the music player lands.
#include "music/player.h"

int PlayModule(const void*, std::size_t, std::uint32_t) { return 0; }
int StopModule() { return 0; }
void PauseMusic() {}
void ResumeMusic() {}
void SetMusicVolume(std::uint32_t) {}
