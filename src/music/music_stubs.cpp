// Placeholders until the music player lands.
#include "music/player.h"

int PlayModule(const void*, std::size_t, std::uint32_t) { return 0; }
int StopModule() { return 0; }
void PauseMusic() {}
void ResumeMusic() {}
void SetMusicVolume(std::uint32_t) {}
void JumpToOrder(std::uint16_t) {}
std::uint32_t GetMusicLevels() { return 0; }
std::uint32_t GetMusicPosition() { return 0; }
std::uint32_t GetMusicTimeMs() { return 0; }
const char* GetSongTitle() { return ""; }
