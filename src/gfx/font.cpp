#include "gfx/font.h"

#include "gfx/sprites.h"
#include "gfx/textures.h"

namespace {

constexpr int GLYPH_ROWS_TOP = 32;  // the tiles of the well sit above the glyph rows
constexpr int CELLS_PER_ROW = 16;
constexpr std::uint8_t BLANK_CODE = 0x50;  // the blank cell of the name and number fields
constexpr std::uint8_t ROW_1_FIRST = 0x71;
constexpr std::uint8_t ROW_1_LAST_OFFSET = 15;
constexpr std::uint8_t ROW_2_FIRST = 0x81;
constexpr std::uint8_t ROW_2_LAST_OFFSET = 10;
constexpr std::uint8_t SLASH = 0x2F;
constexpr std::uint8_t MINUS = 0x2D;
constexpr std::uint8_t PLUS = 0x2B;
constexpr std::uint8_t BLANK_INDEX = 10;
constexpr std::uint8_t SLASH_INDEX = 11;
constexpr std::uint8_t MINUS_INDEX = 12;
constexpr std::uint8_t PLUS_INDEX = 13;

}  // namespace

void DrawGlyph(std::uint8_t code, std::int32_t x, std::int32_t y) {
    // The tests below are on 8-bit values, so a code under the range wraps far above it.
    std::uint8_t b = code;
    if (static_cast<std::uint8_t>(b - '0') <= 9) b = static_cast<std::uint8_t>(b - '0');
    int row = 0;
    if (static_cast<std::uint8_t>(b - ROW_1_FIRST) <= ROW_1_LAST_OFFSET) {
        row = 1;
        b = static_cast<std::uint8_t>(b - ROW_1_FIRST);
    }
    if (static_cast<std::uint8_t>(b - ROW_2_FIRST) <= ROW_2_LAST_OFFSET) {
        row = 2;
        b = static_cast<std::uint8_t>(b - ROW_2_FIRST);
    }
    if (b == BLANK_CODE) {
        b = BLANK_INDEX;
    } else if (b == SLASH) {
        b = SLASH_INDEX;
    } else if (b == MINUS) {
        b = MINUS_INDEX;
    } else if (b == PLUS) {
        b = PLUS_INDEX;
    }
    if (b >= CELLS_PER_ROW) return;  // a cell beyond the sheet's right edge
    const SpriteRect cell{b * GLYPH_WIDTH, GLYPH_ROWS_TOP + row * GLYPH_HEIGHT,
                          (b + 1) * GLYPH_WIDTH, GLYPH_ROWS_TOP + (row + 1) * GLYPH_HEIGHT};
    DrawSprite(textures.SpriteSheet, &cell, static_cast<float>(x), static_cast<float>(y),
               TINT_NONE);
}

void DrawText(const std::uint8_t* bytes, std::uint8_t length, std::int32_t x, std::int32_t y) {
    if (!bytes) return;
    for (int i = 0; i < length; ++i) DrawGlyph(bytes[i], x + GLYPH_WIDTH * i, y);
}

void DrawNumber(std::uint32_t value, std::int32_t x, std::int32_t y) {
    std::uint8_t digits[NUMBER_DIGITS];
    for (int i = NUMBER_DIGITS - 1; i >= 0; --i) {
        digits[i] = static_cast<std::uint8_t>(value % 10);
        value /= 10;
    }
    bool leading = true;
    for (int i = 0; i < NUMBER_DIGITS; ++i) {
        const std::int32_t cellX = x + GLYPH_WIDTH * i;
        if (leading && digits[i] == 0) {
            DrawGlyph(BLANK_CODE, cellX, y);
        } else {
            leading = false;
            DrawGlyph(digits[i], cellX, y);
        }
    }
}
