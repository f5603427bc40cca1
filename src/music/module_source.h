#pragma once

#include <cstddef>
#include <cstdint>

// Where a module's bytes come from while it loads: a built-in resource, bytes in memory, or a
// file read through an 8192-byte cache. Reads past the end deliver nothing but still advance
// the position, so the caller sees how much lay within the module.

constexpr std::uint32_t MODULE_CACHE_BYTES = 8192;

// Opens the source that PlayModule's flags choose; false when the resource or file does not
// exist, cannot be read or is larger than 4 GiB. The position starts at 0.
bool OpenModuleSource(const void* source, std::size_t second, std::uint32_t flags);
void CloseModuleSource();

// Copies what lies within the module of the next count bytes into dest (the rest of dest
// keeps its contents) and advances the position by count. Returns the bytes copied.
std::uint32_t ReadModule(void* dest, std::uint32_t count);

// Moves to target (from the start) or by target (relative); a target before the start or
// beyond the end is ignored.
void SeekModule(std::int64_t target, bool relative);

std::int64_t ModulePosition();
std::uint32_t ModuleSize();
// Bytes from the position to the end (0 when the position is at or beyond it).
std::uint32_t ModuleBytesLeft();
