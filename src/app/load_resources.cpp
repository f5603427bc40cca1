#include "app/load_resources.h"

#include "app/bindings_store.h"
#include "app/high_score_store.h"
#include "app/settings.h"
#include "app/versus_results_store.h"
#include "gfx/fade.h"
#include "gfx/textures.h"
#include "music/player.h"
#include "platform/resource_ids.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"
#include "sound/sound.h"

void LoadResources() {
    LoadHighScores();
    ReadOtherSettings(StartupSettingsRecord());
    LoadBindings();
    LoadVersusResults();
    LoadTextures();
    // The title fades in from black in the first frames.
    ChangeScreen(Title,
                 {.shown = textures.BlackScreen, .next = textures.TitleBackground, .fade = true});
    LoadSounds();
    PlayModule(MusicResource(TITLE_SONG_ID), 0, 0);
    BeginNewGame();
}
