#include "gfx/textures.h"

#include "gfx/renderer.h"
#include "platform/render.h"
#include "platform/resources.h"

Textures textures;

namespace {

constexpr int FIRST_LEVEL_BACKGROUND_ID = 123;
constexpr int SPRITE_SHEET_ID = 116;
constexpr int SPRITE_SHEET_WIDTH = 256;
constexpr int SPRITE_SHEET_HEIGHT = 128;
constexpr int PANEL_ID = 117;
constexpr int PANEL_WIDTH = 320;
constexpr int PANEL_HEIGHT = 640;
constexpr int TITLE_ID = 115;
constexpr int HIGH_SCORES_ID = 119;
constexpr int MENU_ID = 118;
constexpr int MENU_HIGHLIGHT_ID = 120;
constexpr int OPTIONS_ID = 121;
constexpr int INFO_ID = 122;

Texture* LoadImage(int id, int width, int height, bool magentaKey = false) {
    return CreateImageTexture(FindResource("RCDATA", id), width, height, magentaKey);
}

Texture* LoadScreenImage(int id) { return LoadImage(id, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT); }

}  // namespace

void LoadTextures() {
    for (int i = 0; i < 10; ++i)
        textures.LevelBackground[i] = LoadScreenImage(FIRST_LEVEL_BACKGROUND_ID + i);
    textures.SpriteSheet =
        LoadImage(SPRITE_SHEET_ID, SPRITE_SHEET_WIDTH, SPRITE_SHEET_HEIGHT, true);
    textures.PanelTexture = LoadImage(PANEL_ID, PANEL_WIDTH, PANEL_HEIGHT);
    textures.BlackScreen = LoadImage(PANEL_ID, 0, 0);
    textures.TitleBackground = LoadScreenImage(TITLE_ID);
    textures.HighScoresBackground = LoadScreenImage(HIGH_SCORES_ID);
    textures.MenuBackground = LoadScreenImage(MENU_ID);
    textures.MenuHighlight =
        LoadImage(MENU_HIGHLIGHT_ID, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, true);
    textures.OptionsBackground = LoadScreenImage(OPTIONS_ID);
    textures.InfoBackground = LoadScreenImage(INFO_ID);
    textures.GameOverSnapshot = CreateTargetTexture(BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
}

void ForgetTextures() { textures = Textures{}; }
