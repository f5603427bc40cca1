#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// The bitmap font's own code, in which names and labels are stored: 0..9 and '0'..'9' the
// digits, the blank cell, the signs / - + at their ASCII codes, and two rows of letters: A to P
// from 0x71, Q to Z and one more sign from 0x81.
constexpr std::uint8_t BLANK_CELL = 0x50;  // the font's empty character
constexpr std::uint8_t FONT_SLASH = 0x2F;
constexpr std::uint8_t FONT_MINUS = 0x2D;
constexpr std::uint8_t FONT_PLUS = 0x2B;
constexpr std::uint8_t FONT_LETTER_A = 0x71;    // the first letter row: A..P
constexpr std::uint8_t FONT_LETTER_ROW_1 = 16;  // letters in the first row
constexpr std::uint8_t FONT_LETTER_Q = 0x81;    // the second letter row: Q..Z and one sign
constexpr std::uint8_t FONT_LETTER_ROW_2 = 11;  // codes in the second row
constexpr std::uint8_t FONT_LAST_CODE = FONT_LETTER_Q + FONT_LETTER_ROW_2 - 1;
constexpr std::uint8_t FONT_LAST_DIGIT_VALUE = 9;

// Readable text into the font's code at compile time. Letters become 0x71..0x8A, digits and
// the signs / - + keep their ASCII codes, and a space (or anything else) becomes the blank cell.
constexpr std::uint8_t FontCode(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<std::uint8_t>(FONT_LETTER_A + (c - 'A'));
    if ((c >= '0' && c <= '9') || c == '/' || c == '-' || c == '+') {
        return static_cast<std::uint8_t>(c);
    }
    return BLANK_CELL;
}

template <std::size_t N>
constexpr std::array<std::uint8_t, N - 1> FontLabel(const char (&text)[N]) {
    std::array<std::uint8_t, N - 1> label{};
    for (std::size_t i = 0; i + 1 < N; ++i) label[i] = FontCode(text[i]);
    return label;
}
