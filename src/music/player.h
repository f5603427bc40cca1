#pragma once

#include <cstddef>
#include <cstdint>

constexpr std::uint32_t MUSIC_FROM_MEMORY = 1;
constexpr std::uint32_t MUSIC_FROM_FILE = 2;
constexpr std::uint32_t MUSIC_NO_LOOP = 8;
constexpr std::uint32_t MUSIC_START_PAUSED = 16;

// The master volume for each of the game's music volume steps 0..25: 2 dB apart from -48 dB
// at step 1 to unity (32768) at step 25. Step 0 is 1, which the conversion turns into silence.
constexpr std::uint16_t VOLUME_TABLE[26] = {
    1,    130,  164,  207,  260,  328,  413,  519,   654,   823,   1036,  1305,  1642,
    2068, 2603, 3277, 4125, 5193, 6538, 8231, 10362, 13045, 16423, 20675, 26029, 32768};
constexpr std::uint32_t MAX_VOLUME_STEP = 25;

// The source of PlayModule: a resource id (neither FROM flag), a pointer to the module's
// bytes (MUSIC_FROM_MEMORY, second = their count) or a path (MUSIC_FROM_FILE).
inline const void* MusicResource(int id) {
    return reinterpret_cast<const void*>(static_cast<std::uintptr_t>(id));
}

// Stops the song that plays, loads the module and starts it; nonzero once the song sounds, 0
// when the module is missing or rejected or there is no output. A null source only stops.
int PlayModule(const void* source, std::size_t second, std::uint32_t flags);
// Ends the output and frees the song; always 0.
int StopModule();
void PauseMusic();
void ResumeMusic();
// Volume step 0..25 (more acts as 25). Kept across songs.
void SetMusicVolume(std::uint32_t step);
// Goes to the order position at the next row (order 0 when it is beyond the song).
void JumpToOrder(std::uint16_t order);
// Mean output magnitude of the block that plays: left << 16 | right, each 0..32767.
std::uint32_t GetMusicLevels();
// Order position << 16 | row at the end of the block that plays.
std::uint32_t GetMusicPosition();
// Milliseconds of music rendered since the song started.
std::uint32_t GetMusicTimeMs();
// The loaded module's name, printable characters only; empty when no song is loaded.
const char* GetSongTitle();

// Puts the whole player back to its start-up state (song stopped, volume never set).
void ResetMusicPlayer();
