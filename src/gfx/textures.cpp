#include "gfx/textures.h"

#include "gfx/back_buffer.h"
#include "platform/resource_ids.h"
#include "platform/resources.h"
#include "platform/sdl_renderer.h"

Textures textures;

namespace {

constexpr int SPRITE_SHEET_WIDTH = 256;
constexpr int SPRITE_SHEET_HEIGHT = 128;
constexpr int PANEL_WIDTH = 320;
constexpr int PANEL_HEIGHT = 640;
constexpr int GHOST_TILES_WIDTH = 256;
constexpr int GHOST_TILES_HEIGHT = 32;

Texture* LoadImage(int id, int width, int height, bool magentaKey = false) {
    return CreateImageTexture(FindResource("RCDATA", id), width, height, magentaKey);
}

Texture* LoadScreenImage(int id) { return LoadImage(id, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT); }

}  // namespace

void LoadTextures() {
    for (int i = 0; i < LEVEL_PICTURES; ++i)
        textures.LevelBackground[i] = LoadScreenImage(FIRST_LEVEL_PICTURE_ID + i);
    textures.SpriteSheet =
        LoadImage(SPRITE_SHEET_ID, SPRITE_SHEET_WIDTH, SPRITE_SHEET_HEIGHT, true);
    textures.PanelTexture = LoadImage(PANEL_PICTURE_ID, PANEL_WIDTH, PANEL_HEIGHT);
    textures.BlackScreen = LoadImage(PANEL_PICTURE_ID, 0, 0);
    textures.TitleBackground = LoadScreenImage(TITLE_PICTURE_ID);
    textures.HighScoresBackground = LoadScreenImage(HIGH_SCORES_PICTURE_ID);
    textures.MenuBackground = LoadScreenImage(MENU_PICTURE_ID);
    textures.MenuHighlight =
        LoadImage(MENU_HIGHLIGHT_ID, BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT, true);
    textures.OptionsBackground = LoadScreenImage(OPTIONS_PICTURE_ID);
    textures.InfoBackground = LoadScreenImage(INFO_PICTURE_ID);
    textures.GhostTiles = LoadImage(GHOST_TILES_ID, GHOST_TILES_WIDTH, GHOST_TILES_HEIGHT);
    textures.GameOverSnapshot = CreateTargetTexture(BACK_BUFFER_WIDTH, BACK_BUFFER_HEIGHT);
}

void ForgetTextures() { textures = Textures{}; }
