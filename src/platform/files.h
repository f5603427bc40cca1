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

// Writes the bytes to a temporary file beside path, flushes it to disk and renames it over
// path, creating the folder if needed: a crash leaves the old file or the new, never a torn
// one. False on any failure (the old file then stays as it was).
bool SaveFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);
