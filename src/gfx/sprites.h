#pragma once

#include <cstdint>

#include "gfx/textures.h"

// A source rectangle in texels: left and top inclusive, right and bottom exclusive.
struct SpriteRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Tints: the ARGB colour multiplies every texel.
constexpr std::uint32_t TINT_NONE = 0xFFFFFFFF;
constexpr std::uint32_t TINT_PANEL = 0xC0FFFFFF;          // dark panels, menu highlights
constexpr std::uint32_t TINT_OPTIONS_PANEL = 0xD0FFFFFF;  // the options screen's panel

// The sprite batch every screen draws with, after its background: alpha blended, later
// sprites over earlier ones.
void BeginSprites();
// Places the top-left corner of `source` (the whole texture when null) at (x, y) in
// back-buffer pixels, unscaled. A missing texture draws nothing.
void DrawSprite(Texture* texture, const SpriteRect* source, float x, float y,
                std::uint32_t tint = TINT_NONE);
void EndSprites();

// The bitmap font on SpriteSheet: labels are stored in the font's own code.
#include "gfx/font.h"
