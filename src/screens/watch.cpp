#include "screens/watch.h"

#include "game/game_state.h"
#include "game/replay_player.h"
#include "game/replay_recorder.h"
#include "game/rules_clock.h"
#include "gfx/fade.h"
#include "music/player.h"
#include "platform/controllers.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/resource_ids.h"
#include "screens/high_scores.h"
#include "screens/menu_input.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"

namespace {

constexpr int FAST_FORWARD_FRAMES = 4;

struct WatchState {
    RulesClockSource liveClock = nullptr;
    bool told = false;  // a problem of this replay has been said
};
WatchState watch;

void TellProblem() {
    if (watch.told || PlaybackProblem().empty()) return;
    watch.told = true;
    ReportProblem("the replay does not play as it was recorded: " + PlaybackProblem());
}

bool LeaveHeld() { return MenuBackHeld() || KeyDown(VK_LBUTTON); }

bool FastHeld() { return KeyDown(VK_RIGHT) || PadHeld(PadInput::RightShoulder); }

}  // namespace

void StartWatching(const Replay& replay) {
    StopRecording();
    if (!IsPlayingBack()) watch.liveClock = CurrentRulesClock();
    watch.told = false;
    StartPlayback(replay);
    SetRulesClock(NextPlaybackReading);
    BeginNewGame();
    ChangeScreen(Watch,
                 {.shown = textures.LevelBackground[0], .next = textures.LevelBackground[1]});
    PlayModule(MusicResource(GAME_SONG_ID), 0, 0);
}

void WatchFrame() {
    const bool leave = LeaveHeld();
    const int frames = FastHeld() ? FAST_FORWARD_FRAMES : 1;
    for (int i = 0; i < frames && screenId == Watch; ++i) {
        ReplayFrame frame;
        if (!NextPlaybackFrame(frame)) {
            CheckWatchedEnd(ReplayEnding::Unfinished);
            DrawPlayScreenStill();
            EndWatching();
            return;
        }
        if ((frame.flags & REPLAY_PAUSED) != 0) {
            DrawPlayScreenStill();
        } else {
            RunPlayFrame(ActionRecord{frame.actions});
        }
        if (!PlaybackProblem().empty() && screenId == Watch) {
            TellProblem();
            EndWatching();
            return;
        }
    }
    if (leave && screenId == Watch) EndWatching();
}

void CheckWatchedEnd(ReplayEnding ending) {
    CheckPlaybackEnd(ending);
    TellProblem();
}

void EndWatching() {
    if (!IsPlayingBack()) return;
    StopPlayback();
    SetRulesClock(watch.liveClock);
    // The table opens as from the main menu, and the watched score is not placed in it.
    game.entryAllowed = 0;
    game.entryActive = 0;
    fromMenu = 1;
    PlayModule(MusicResource(TITLE_SONG_ID), 0, 0);
    ChangeScreen(
        HighScores,
        {.shown = textures.BlackScreen, .next = textures.HighScoresBackground, .fade = true});
}
