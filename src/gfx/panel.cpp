#include "gfx/panel.h"

#include <algorithm>

#include "gfx/textures.h"

void DrawPanel(int x, int y, int width, int height, std::uint32_t tint) {
    for (int top = 0; top < height; top += PANEL_TEXTURE_HEIGHT) {
        for (int left = 0; left < width; left += PANEL_TEXTURE_WIDTH) {
            const SpriteRect piece{0, 0, std::min(PANEL_TEXTURE_WIDTH, width - left),
                                   std::min(PANEL_TEXTURE_HEIGHT, height - top)};
            DrawSprite(textures.PanelTexture, &piece, static_cast<float>(x + left),
                       static_cast<float>(y + top), tint);
        }
    }
}

namespace {

// The yellow tile's light top edge, two texels high, and the tint that brings it to the golden
// yellow of the font's letters.
constexpr SpriteRect FRAME_EDGE = {34, 1, 60, 3};
constexpr int FRAME_EDGE_LENGTH = FRAME_EDGE.right - FRAME_EDGE.left;
constexpr int FRAME_THICKNESS = FRAME_EDGE.bottom - FRAME_EDGE.top;
constexpr std::uint32_t FRAME_TINT = 0xFFFFF5AB;

// A bar of the frame's colour, laid from pieces of the edge: across, or down in squares.
void DrawBar(int x, int y, int width, int height) {
    const int pieceWidth = height > FRAME_THICKNESS ? FRAME_THICKNESS : FRAME_EDGE_LENGTH;
    for (int top = 0; top < height; top += FRAME_THICKNESS) {
        for (int left = 0; left < width; left += pieceWidth) {
            const SpriteRect piece{FRAME_EDGE.left, FRAME_EDGE.top,
                                   FRAME_EDGE.left + std::min(pieceWidth, width - left),
                                   FRAME_EDGE.top + std::min(FRAME_THICKNESS, height - top)};
            DrawSprite(textures.SpriteSheet, &piece, static_cast<float>(x + left),
                       static_cast<float>(y + top), FRAME_TINT);
        }
    }
}

}  // namespace

void DrawFrame(const SpriteRect& rect) {
    const int left = rect.left - FRAME_THICKNESS;
    const int top = rect.top - FRAME_THICKNESS;
    const int width = rect.right - rect.left + 2 * FRAME_THICKNESS;
    DrawBar(left, top, width, FRAME_THICKNESS);
    DrawBar(left, rect.bottom, width, FRAME_THICKNESS);
    DrawBar(left, rect.top, FRAME_THICKNESS, rect.bottom - rect.top);
    DrawBar(rect.right, rect.top, FRAME_THICKNESS, rect.bottom - rect.top);
}
