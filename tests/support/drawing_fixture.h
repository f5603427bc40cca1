#pragma once

#include <SDL.h>
#include <gtest/gtest.h>

#include "gfx/textures.h"

#include <cstdint>
#include <vector>

// A headless window and renderer for tests that look at the back buffer. The game's pictures
// are replaced by test pictures in which every tile and every glyph cell has a colour of its
// own, so that a pixel tells which sprite was drawn there; the background is plain grey.
class DrawingTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Reads the whole back buffer; the lookups below answer from this copy.
    void Capture();
    std::uint32_t Pixel(int x, int y) const;
    // The glyph cell drawn with its top-left corner at (x, y), as glyphRow * 16 + cell; -1 when
    // no glyph was drawn there.
    int GlyphAt(int x, int y) const;
    // The tile (1..7) drawn with its top-left corner at (x, y); 0 when none.
    int TileAt(int x, int y) const;
    // True where a dark panel lies over the grey background and nothing over the panel.
    bool PanelAt(int x, int y) const;
    bool BackgroundAt(int x, int y) const;

    Texture* background = nullptr;
    std::vector<std::uint32_t> captured;

private:
    SDL_Window* window = nullptr;
};

// The glyph cell of a code, as glyphRow * 16 + cell.
int GlyphOf(std::uint8_t code);
constexpr int BLANK_GLYPH = 10;
