#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The files the game keeps for the player (the settings, the controls, the high scores) share
// one way of being read, told about and written. Each is read once at start-up by the one
// running copy; each save goes through the platform's atomic save. A file that exists but cannot
// be read may hold the player's data, so it is never written over.

struct PlayerFileKind {
    std::string_view contents;        // what the file holds, as a message names it: "the controls"
    std::string_view builtIn;         // what is played with instead: "the default controls"
    std::string (*folder)();          // ConfigDir or DataDir
    std::string (*noFolderReason)();  // why that folder is missing, as the system words it
    std::string_view fileName;
    std::size_t maxBytes;
};

// What start-up learnt of one file, and whether a failed save has been told.
struct PlayerFileState {
    bool keepStoredFile = false;
    bool toldNotStored = false;
};

// Told the store's own words of what it could not use in the bytes: a problem prefixed with the
// file ("are not a settings record; playing with the built-in settings"), or empty when it used
// everything.
using TakePlayerFile = std::string (*)(std::span<const std::uint8_t> bytes);

// The file's place; empty when no folder can be found.
std::string PlayerFilePath(const PlayerFileKind& kind);

// Start-up: removes what killed saves left beside the file, reads it and hands its bytes to
// `take`. A file that is missing is nothing to tell; one that cannot be read or is too large is
// told on stderr (the first is then kept from being written over) and `take` is not called;
// what `take` answers is told too.
void LoadPlayerFile(const PlayerFileKind& kind, PlayerFileState& state, TakePlayerFile take);

// Writes the bytes atomically over the file. False when they were not stored: the file could not
// be read at start-up, there is no folder, or the save failed; the first failure is told.
bool SavePlayerFile(const PlayerFileKind& kind, PlayerFileState& state,
                    std::span<const std::uint8_t> bytes);
