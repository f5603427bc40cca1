#include "app/shell.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "gfx/fade.h"
#include "screens/front_end.h"
#include "screens/menu_controls.h"

namespace {
// One fade step every 48 ms or more: the last game picture takes about 3.7 seconds to go black.
constexpr std::uint32_t GAME_OVER_FADE_INTERVAL = 48;
}  // namespace

// Reads no input: the final well fades to black, then the high-score screen fades in.
void GameOverFrame() {
    if (game.gameOverEntry) {
        CurrentBackground = GameOverSnapshot;
        NextBackground = BlackScreen;
        game.gameOverEntry = 0;
    }
    DrawBackground(GAME_OVER_FADE_INTERVAL);
    if (!FadeActive) {
        NextBackground = HighScoresBackground;
        CurrentBackground = BlackScreen;
        FadeActive = 1;
        fromMenu = 0;
        screenId = HighScores;
    }
}
