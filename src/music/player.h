#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t MUSIC_FROM_MEMORY = 1;
constexpr std::uint32_t MUSIC_FROM_FILE = 2;
constexpr std::uint32_t MUSIC_NO_LOOP = 8;
constexpr std::uint32_t MUSIC_START_PAUSED = 16;

// The source of PlayModule: a resource id (neither FROM flag), a pointer to the module's
// bytes (MUSIC_FROM_MEMORY, second = their count) or a path (MUSIC_FROM_FILE).
inline const void* MusicResource(int id) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id));
}

// Stops the song that plays, loads the module and starts it; nonzero on success.
int PlayModule(const void* source, std::size_t second, std::uint32_t flags);
int StopModule();
void PauseMusic();
void ResumeMusic();
// Volume step 0..25 (more acts as 25).
void SetMusicVolume(std::uint32_t step);
