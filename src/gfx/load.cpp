#include "gfx/load.h"

#include "app/settings.h"
#include "app/shell.h"
#include "game/game_state.h"
#include "game/high_scores.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "music/player.h"
#include "sound/sound.h"

namespace {
constexpr int TITLE_SONG_ID = 109;
}

void LoadResources() {
    LoadHighScores();
    ReadOtherSettings(StartupSettingsRecord());
    LoadTextures();
    // The title fades in from black in the first frames.
    CurrentBackground = BlackScreen;
    NextBackground = TitleBackground;
    FadeActive = 1;
    screenId = Title;
    LoadSounds();
    PlayModule(MusicResource(TITLE_SONG_ID), 0, 0);
    ResetGame();
}
