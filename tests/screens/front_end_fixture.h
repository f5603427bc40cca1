#pragma once

#include <cstdint>

#include "support/render_fixture.h"

struct Texture;

// The front-end screens on the headless renderer, driven frame by frame with a scripted pointer,
// scripted keys and the manual clock. Every background is a plain picture of its own colour;
// the menu's highlight picture is white; each glyph cell of the font has a colour of its own
// (the blank cell is see-through), so a pixel tells which glyph stands there.
class FrontEndTest : public RenderTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // The current screen's frame, then the clock moves on by one frame period.
    void Frame();
    void Frames(int count);
    // Frames until the running fade has ended (at most a few hundred).
    void FinishFade();

    void PointAt(int x, int y);
    void Press();
    void Release();

    // The glyph drawn with its top-left corner at (x, y) as glyphRow * 16 + cell, -1 for none.
    int GlyphAt(int x, int y) const;
    // The number drawn by a six-cell field at (x, y); whatever shows through its leading blanks
    // is passed over. -1 when something other than a digit follows the first digit.
    int NumberAt(int x, int y) const;
};

// The glyph cell of a font code, as glyphRow * 16 + cell.
int GlyphOf(std::uint8_t code);
