#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// On-screen labels are stored in the bitmap font's own code; these turn readable text into it
// at compile time. Letters become 0x71..0x8A, digits and the signs / - + keep their ASCII
// codes, and a space (or anything else) becomes the blank cell.
constexpr std::uint8_t BLANK_CELL = 0x50;  // the font's empty character
constexpr std::uint8_t FONT_LETTER_A = 0x71;

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
