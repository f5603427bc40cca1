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
