#include "game/play_screen.h"

#include "app/shell.h"
#include "game/font_label.h"
#include "game/game_state.h"
#include "game/piece_control.h"
#include "game/scoring.h"
#include "gfx/fade.h"
#include "gfx/panel.h"
#include "gfx/renderer.h"
#include "music/player.h"

namespace {

// Fades between level pictures step at most once every 16 ms.
constexpr std::uint32_t PLAY_FADE_INTERVAL = 16;
constexpr int TITLE_MUSIC = 109;
constexpr int GAME_OVER_MUSIC = 111;
constexpr int TILE_SIZE = 32;

constexpr auto LEVEL_CAPTION = FontLabel("LEVEL     ");
constexpr auto LINES_CAPTION = FontLabel("LINES     ");
constexpr auto SCORE_CAPTION = FontLabel("SCORE");
constexpr auto NEXT_CAPTION = FontLabel("NEXT");
static_assert(LEVEL_CAPTION.size() == 10 && LINES_CAPTION.size() == 10);
static_assert(SCORE_CAPTION.size() == 5 && NEXT_CAPTION.size() == 4);

SpriteRect TileRect(std::uint8_t value) {
    const int left = TILE_SIZE * value;
    return {left, 0, left + TILE_SIZE, TILE_SIZE};
}

void DrawTile(std::uint8_t value, int x, int y) {
    const SpriteRect tile = TileRect(value);
    DrawSprite(SpriteSheet, &tile, static_cast<float>(x), static_cast<float>(y));
}

void DrawPanels() {
    DrawPanel(352, 32, PANEL_TEXTURE_WIDTH, PANEL_TEXTURE_HEIGHT);
    DrawPanel(32, 32, 228, 151);
    DrawPanel(80, 560, 150, 160);
}

void DrawCaptions() {
    DrawText(LEVEL_CAPTION.data(), LEVEL_CAPTION.size(), 38, 34);
    DrawText(LINES_CAPTION.data(), LINES_CAPTION.size(), 38, 75);
    DrawText(SCORE_CAPTION.data(), SCORE_CAPTION.size(), 38, 151);
    DrawText(NEXT_CAPTION.data(), NEXT_CAPTION.size(), 125, 575);
}

void DrawCounters() {
    DrawNumber(game.level, 160, 34);
    DrawNumber(game.lines, 160, 75);
    DrawNumber(game.score, 160, 150);
}

// The falling piece is drawn in its cells as if it had locked; the well is left as it was.
void DrawWellWithPiece() {
    SaveUnderPiece();
    StampPiece();
    DrawWell();
    RestoreUnderPiece();
}

}  // namespace

void DrawWell() {
    for (int r = FIRST_VISIBLE_ROW; r <= LAST_VISIBLE_ROW; ++r) {
        for (int c = FIRST_PLAY_COLUMN; c <= LAST_PLAY_COLUMN; ++c) {
            DrawTile(game.well[r][c], TILE_SIZE * c + 288, TILE_SIZE * r);
        }
    }
}

void DrawNextPiece() {
    for (int r = 0; r < MASK_SIZE; ++r) {
        for (int c = 0; c < MASK_SIZE; ++c) {
            const std::uint8_t value = game.nextMask[r][c];
            // The three-wide shapes stand centred in the four-cell box.
            const int shift = (value >= 2 && value <= 6) ? TILE_SIZE / 2 : 0;
            DrawTile(value, 90 + TILE_SIZE * c + shift, 600 + TILE_SIZE * r);
        }
    }
}

void PlayFrame() {
    DrawBackground(PLAY_FADE_INTERVAL);
    BeginSprites();
    DrawPanels();
    DrawCaptions();
    DrawCounters();
    DrawNextPiece();
    HandleGameKeys();
    ApplyGravity();
    DrawWellWithPiece();
    EndSprites();
    if (TryLockPiece() == LockResult::GameOver) RunGameOverTransition();
}

void RunGameOverTransition() {
    BeginSprites();
    DrawWell();
    EndSprites();
    PresentFrame();
    CopyBackBufferToSnapshot();
    PlayModule(MusicResource(GAME_OVER_MUSIC), 0, 0);
    FadeActive = 1;
    game.gameOverEntry = 1;
    screenId = GameOver;
}

void ReturnToMenuAfterGame() {
    FadeActive = 1;
    PlayModule(MusicResource(TITLE_MUSIC), 0, 0);
    ResetGame();
    NextBackground = MenuBackground;
    CurrentBackground = BlackScreen;
    screenId = MainMenu;
}
