#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

// $XDG_CONFIG_HOME/plemby (else ~/.config/plemby), $XDG_DATA_HOME/plemby (else
// ~/.local/share/plemby). Empty when no home can be found.
std::string ConfigDir();
std::string DataDir();

// Reads a whole file of at most maxBytes; nullopt when it is missing, unreadable, not a
// regular file or larger than maxBytes.
std::optional<std::vector<std::uint8_t>> ReadSmallFile(const std::string& path,
                                                       std::size_t maxBytes);

// A stored file as found at start-up. One that exists but cannot be read (no permission, not
// a regular file) is not the same as one that is missing: it may hold the player's data, so
// it must not be written over.
enum class StoredFileState { Missing, Read, Unreadable };
struct StoredFile {
    StoredFileState state = StoredFileState::Missing;
    // Read: the file's bytes, or its first maxBytes + 1 when it is larger than maxBytes.
    std::vector<std::uint8_t> bytes;
    // Unreadable: why, in words.
    std::string problem;
};
StoredFile ReadStoredFile(const std::string& path, std::size_t maxBytes);

// Tells the player on stderr, as one line starting "plemby: ".
void ReportProblem(const std::string& text);

// Writes the bytes to a temporary file beside path, flushes it to disk and renames it over
// path, creating the folder if needed: a crash leaves the old file or the new, never a torn
// one. False on any failure (the old file then stays as it was); errno then tells why.
bool SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// Removes the temporary files that saves of path left behind when the game was killed before
// their rename: regular files of this user beside path, named as SaveFileAtomically names them
// (path's name, a dot and six letters or digits) and last written before this process started,
// so that a save still under way elsewhere is never touched. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& path);

// Deletes a file; true when it is gone (also when it was not there).
bool RemoveFile(const std::string& path);
