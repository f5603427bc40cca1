#pragma once

#include <cstdint>

// The bitmap font: glyph cells of 16 x 32 pixels in the three glyph rows of SpriteSheet,
// drawn untinted into the sprite batch the caller has begun, in the font's code
// (common/font_codes.h).
constexpr int GLYPH_WIDTH = 16;
constexpr int GLYPH_HEIGHT = 32;
constexpr int NUMBER_DIGITS = 6;

void DrawGlyph(std::uint8_t code, std::int32_t x, std::int32_t y);
// One glyph per byte, 16 pixels apart; the string is not terminated, `length` says how long.
void DrawText(const std::uint8_t* bytes, std::uint8_t length, std::int32_t x, std::int32_t y);
// The six low decimal digits, right-aligned in six cells, leading zeros blank.
void DrawNumber(std::uint32_t value, std::int32_t x, std::int32_t y);
