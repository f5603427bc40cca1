#include "game/game_state.h"
#include "gfx/fade.h"
#include "screens/front_end.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"

namespace {
// One fade step every 48 ms or more: the last game picture takes about 3.7 seconds to go black.
constexpr std::uint32_t GAME_OVER_FADE_INTERVAL = 48;
}  // namespace

// Reads no input: the final well fades to black, then the high-score screen fades in.
void GameOverFrame() {
    if (ShownGame().gameOverEntry) {
        ChangeBackgrounds({.shown = textures.GameOverSnapshot, .next = textures.BlackScreen});
        ShownGame().gameOverEntry = 0;
    }
    DrawBackground(GAME_OVER_FADE_INTERVAL);
    // On to the score's entry, or back to the table a watched game was chosen from.
    if (!fade.FadeActive) LeaveGameOver();
}
