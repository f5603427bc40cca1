#pragma once

#include "platform/resource_ids.h"

// The game's pictures, loaded once and shared by every screen. A Texture lives until
// shutdown; a render target keeps its Texture object when the renderer remakes it, so a
// reference to it stays good.
struct Texture;

struct Textures {
    Texture* LevelBackground[LEVEL_PICTURES] = {};
    Texture* SpriteSheet = nullptr;
    Texture* PanelTexture = nullptr;
    Texture* BlackScreen = nullptr;
    Texture* TitleBackground = nullptr;
    Texture* HighScoresBackground = nullptr;
    Texture* MenuBackground = nullptr;
    Texture* MenuHighlight = nullptr;
    Texture* OptionsBackground = nullptr;
    Texture* InfoBackground = nullptr;
    Texture* GhostTiles = nullptr;  // the ghost piece's tiles, tile n at x = 32n like SpriteSheet's
    Texture* GameOverSnapshot = nullptr;
};
extern Textures textures;

// Makes every picture from the executable's images, in the loading order, and the snapshot
// target. A picture that cannot be made still gets its Texture, which draws nothing.
void LoadTextures();
// Forgets the textures after the renderer has released them (shutdown, tests).
void ForgetTextures();
