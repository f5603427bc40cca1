// Placeholders until the renderer lands; they let the shell link and run headless.
#include "gfx/load.h"
#include "gfx/renderer.h"
#include "platform/render_hooks.h"

bool CreateRenderer(int, int, std::uint8_t) { return true; }
void ClearBackBuffer() {}
void PresentFrame() {}
std::uint8_t ToggleFullscreen(std::uint8_t current) { return current ? 0 : 1; }
void ReleaseGraphics() {}
void LoadResources() {}
void OnRenderReset(bool) {}

#include "gfx/fade.h"

Texture* LevelBackground[10] = {};
Texture* SpriteSheet = nullptr;
Texture* PanelTexture = nullptr;
Texture* BlackScreen = nullptr;
Texture* TitleBackground = nullptr;
Texture* HighScoresBackground = nullptr;
Texture* MenuBackground = nullptr;
Texture* MenuHighlight = nullptr;
Texture* OptionsBackground = nullptr;
Texture* InfoBackground = nullptr;
Texture* GameOverSnapshot = nullptr;

Texture* CurrentBackground = nullptr;
Texture* NextBackground = nullptr;
std::uint8_t FadeActive = 0;
std::uint8_t FadeAlpha = 0;
std::int64_t LastFadeStep = 0;

void DrawBackground(std::uint32_t) {}
void StepFade(std::uint32_t) {}
