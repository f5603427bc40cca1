#include "game/game_state.h"
#include "game/replay_player.h"
#include "gfx/fade.h"
#include "screens/front_end.h"
#include "screens/high_scores.h"
#include "screens/navigation.h"
#include "screens/watch.h"

namespace {
// One fade step every 48 ms or more: the last game picture takes about 3.7 seconds to go black.
constexpr std::uint32_t GAME_OVER_FADE_INTERVAL = 48;
}  // namespace

// Reads no input: the final well fades to black, then the high-score screen fades in.
void GameOverFrame() {
    if (game.gameOverEntry) {
        ChangeBackgrounds({.shown = textures.GameOverSnapshot, .next = textures.BlackScreen});
        game.gameOverEntry = 0;
    }
    DrawBackground(GAME_OVER_FADE_INTERVAL);
    if (!fade.FadeActive) {
        // A watched game goes back to the table it was chosen from.
        if (IsPlayingBack()) {
            EndWatching();
            return;
        }
        fromMenu = 0;
        ChangeScreen(
            HighScores,
            {.shown = textures.BlackScreen, .next = textures.HighScoresBackground, .fade = true});
    }
}
