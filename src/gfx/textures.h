#pragma once

// The game's pictures, loaded once and shared by every screen. A Texture lives until
// shutdown; a render target keeps its Texture object when the renderer remakes it, so a
// reference to it stays good.
struct Texture;

extern Texture* LevelBackground[10];
extern Texture* SpriteSheet;
extern Texture* PanelTexture;
extern Texture* BlackScreen;
extern Texture* TitleBackground;
extern Texture* HighScoresBackground;
extern Texture* MenuBackground;
extern Texture* MenuHighlight;
extern Texture* OptionsBackground;
extern Texture* InfoBackground;
extern Texture* GameOverSnapshot;

// Makes every picture from the executable's images, in the loading order, and the snapshot
// target. A picture that cannot be made still gets its Texture, which draws nothing.
void LoadTextures();
// Forgets the textures after the renderer has released them (shutdown, tests).
void ForgetTextures();
