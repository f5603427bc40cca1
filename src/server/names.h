#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// Names, tokens and the hashes the server keeps of them.

// The longest name, as the game's name entry takes it.
constexpr std::size_t LONGEST_NAME = 26;

// The form names are compared in (upper case), or nothing when `name` is not one the game's
// name entry could type: 1 to 26 letters, digits and spaces, not beginning or ending with a
// space. Lower-case letters are taken as their capitals.
std::optional<std::string> NameKey(std::string_view name);

// A new secret token: 32 random bytes in unpadded base64url.
std::string NewToken();
// What the server keeps of a token (BLAKE2b, hex): enough to recognise it, not to make it.
std::string TokenHash(std::string_view token);
// The fingerprint that tells the same replay sent again (BLAKE2b of its bytes, hex).
std::string ReplayHash(std::span<const std::uint8_t> bytes);
// Random bytes from the system's generator.
std::string RandomBytes(std::size_t count);
