#include "gfx/font.h"

#include "common/font_codes.h"
#include "gfx/sprites.h"
#include "gfx/textures.h"

namespace {

constexpr int GLYPH_ROWS_TOP = 32;  // the tiles of the well sit above the glyph rows
constexpr int CELLS_PER_ROW = 16;
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
    if (static_cast<std::uint8_t>(b - FONT_LETTER_A) < FONT_LETTER_ROW_1) {
        row = 1;
        b = static_cast<std::uint8_t>(b - FONT_LETTER_A);
    }
    if (static_cast<std::uint8_t>(b - FONT_LETTER_Q) < FONT_LETTER_ROW_2) {
        row = 2;
        b = static_cast<std::uint8_t>(b - FONT_LETTER_Q);
    }
    if (b == BLANK_CELL) {
        b = BLANK_INDEX;
    } else if (b == FONT_SLASH) {
        b = SLASH_INDEX;
    } else if (b == FONT_MINUS) {
        b = MINUS_INDEX;
    } else if (b == FONT_PLUS) {
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
            DrawGlyph(BLANK_CELL, cellX, y);
        } else {
            leading = false;
            DrawGlyph(digits[i], cellX, y);
        }
    }
}
