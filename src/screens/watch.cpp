#include "screens/watch.h"

#include <memory>

#include "game/game_state.h"
#include "gfx/fade.h"
#include "music/player.h"
#include "platform/controllers.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/resource_ids.h"
#include "replays/replayed_game.h"
#include "screens/high_scores.h"
#include "screens/menu_input.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"

namespace {

constexpr int FAST_FORWARD_FRAMES = 4;

struct WatchState {
    ReplayedGame* watched = nullptr;  // the play screen's game while it is watched
    bool told = false;                // a problem of this replay has been said
};
WatchState watch;

void TellProblem() {
    if (watch.told || watch.watched->Problem().empty()) return;
    watch.told = true;
    ReportProblem("the replay does not play as it was recorded: " + watch.watched->Problem());
}

bool LeaveHeld() { return MenuBackHeld() || KeyDown(VK_LBUTTON); }

bool FastHeld() { return KeyDown(VK_RIGHT) || PadHeld(PadInput::RightShoulder); }

// Back to the high-score table.
void EndWatching() {
    if (watch.watched == nullptr) return;
    watch.watched = nullptr;
    // The table opens as from the main menu, and the watched score is not placed in it.
    game.entryAllowed = 0;
    game.entryActive = 0;
    fromMenu = 1;
    PlayModule(MusicResource(TITLE_SONG_ID), 0, 0);
    ChangeScreen(
        HighScores,
        {.shown = textures.BlackScreen, .next = textures.HighScoresBackground, .fade = true});
}

// Escape in a watched game ends the watching; the rest of the frame is not played.
bool LeaveAbandonedReplay() {
    TellProblem();
    EndWatching();
    return false;
}

}  // namespace

void StartWatching(const Replay& replay) {
    watch.told = false;
    auto watched = std::make_unique<ReplayedGame>(replay);
    watch.watched = watched.get();
    BeginScreenGame(
        std::move(watched),
        {.abandoned = LeaveAbandonedReplay, .gameOverShown = EndWatching, .captioned = true});
    ChangeScreen(Watch,
                 {.shown = textures.LevelBackground[0], .next = textures.LevelBackground[1]});
    PlayModule(MusicResource(GAME_SONG_ID), 0, 0);
}

void WatchFrame() {
    const bool leave = LeaveHeld();
    const int frames = FastHeld() ? FAST_FORWARD_FRAMES : 1;
    for (int i = 0; i < frames && screenId == Watch; ++i) {
        if (!RunGameFrame()) {
            watch.watched->EndGame(GameEnding::Unfinished);
            TellProblem();
            DrawPlayScreenStill();
            EndWatching();
            return;
        }
        // Escape has ended the watching already.
        if (watch.watched == nullptr) return;
        TellProblem();
        if (!watch.watched->Problem().empty() && screenId == Watch) {
            EndWatching();
            return;
        }
    }
    if (leave && screenId == Watch) EndWatching();
}
