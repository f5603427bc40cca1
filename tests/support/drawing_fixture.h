#pragma once

#include <cstdint>
#include <vector>

#include "gfx/textures.h"
#include "support/render_fixture.h"

// The headless renderer, with the game's pictures replaced by test pictures in which every tile and
// every glyph cell has a colour of its own, so that a pixel tells which sprite was drawn there; the
// background is plain grey.
class DrawingTest : public RenderTest {
protected:
    void SetUp() override;

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
};
constexpr int BLANK_GLYPH = 10;
