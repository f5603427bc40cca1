#include "gfx/sprites.h"

#include "platform/sdl_renderer.h"

// SDL draws each sprite at once, in call order, so the batch needs no queue of its own; the
// calls stay so that every screen frames its sprites the same way.
void BeginSprites() {}

void DrawSprite(Texture* texture, const SpriteRect* source, float x, float y, std::uint32_t tint) {
    if (source) {
        const int ltrb[4] = {source->left, source->top, source->right, source->bottom};
        DrawTexture(texture, ltrb, x, y, tint);
    } else {
        DrawTexture(texture, nullptr, x, y, tint);
    }
}

void EndSprites() {}
