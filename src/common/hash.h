#pragma once

#include <cstdint>
#include <span>

// FNV-1a over 64 bits: a quick fingerprint of some bytes (a well, a replay file), not a
// protection against anyone.
inline std::uint64_t Fnv1a64(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (const std::uint8_t byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001B3ull;
    }
    return hash;
}
