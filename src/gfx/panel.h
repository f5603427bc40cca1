#pragma once

#include <cstdint>

#include "gfx/sprites.h"

// PanelTexture is a 320 x 640 picture, black all over.
constexpr int PANEL_TEXTURE_WIDTH = 320;
constexpr int PANEL_TEXTURE_HEIGHT = 640;

// A translucent dark rectangle of any size made from PanelTexture, inside an open sprite batch.
// Wider or taller panels than the picture are laid from pieces of it side by side, so they
// come out dark all over.
void DrawPanel(int x, int y, int width, int height, std::uint32_t tint = TINT_PANEL);

// A thin golden frame around `rect` (the rectangle stays inside it, uncovered), from the edge of
// the yellow tile of SpriteSheet: marks a chosen place without hiding what is written there.
void DrawFrame(const SpriteRect& rect);
