#pragma once

#include <cstdint>
#include <span>
#include <string_view>

// The bytes of a resource built into the executable, found by type ("TEXT", "RCDATA",
// "WAVE", "ICON") and numeric id. Empty when there is no such resource.
std::span<const std::uint8_t> FindResource(std::string_view type, int id);
