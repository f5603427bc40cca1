#include "screens/watch.h"

#include <array>
#include <memory>

#include "common/font_codes.h"
#include "game/game_state.h"
#include "gfx/fade.h"
#include "gfx/font.h"
#include "gfx/panel.h"
#include "music/player.h"
#include "platform/controllers.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/resource_ids.h"
#include "replays/replayed_game.h"
#include "screens/high_scores.h"
#include "screens/menu_input.h"
#include "screens/navigation.h"
#include "screens/navigation_testing.h"
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
    ShowTableMessage("THAT REPLAY DOES NOT PLAY AS IT WAS RECORDED");
}

bool LeaveHeld() { return MenuBackHeld() || KeyDown(VK_LBUTTON); }

bool FastHeld() { return KeyDown(VK_RIGHT) || PadHeld(PadInput::RightShoulder); }

// The screen's own panel at the right, beside the well: its title, what the keys do, and the
// speed it plays at. (P's pause says so over the frozen picture.)
constexpr int PANEL_LEFT = 752;
constexpr int PANEL_TOP = 32;
constexpr int PANEL_WIDTH = 248;
constexpr int PANEL_HEIGHT = 216;
constexpr int PANEL_TEXT_X = 768;
constexpr auto TITLE = FontLabel("REPLAY");
constexpr int TITLE_X = PANEL_LEFT + (PANEL_WIDTH - 16 * static_cast<int>(TITLE.size())) / 2;
constexpr auto FAST_HINT = FontLabel("HOLD RIGHT 4X");
constexpr auto PAUSE_HINT = FontLabel("P PAUSES");
constexpr auto LEAVE_HINT = FontLabel("ESCAPE LEAVES");
constexpr auto NORMAL_SPEED = FontLabel("SPEED 1X");
constexpr auto FAST_SPEED = FontLabel("SPEED 4X");

template <std::size_t N>
void DrawLabel(const std::array<std::uint8_t, N>& label, int x, int y) {
    DrawText(label.data(), static_cast<std::uint8_t>(N), x, y);
}

void DrawWatchPanel() {
    DrawPanel(PANEL_LEFT, PANEL_TOP, PANEL_WIDTH, PANEL_HEIGHT);
    DrawLabel(TITLE, TITLE_X, 40);
    DrawLabel(FAST_HINT, PANEL_TEXT_X, 96);
    DrawLabel(PAUSE_HINT, PANEL_TEXT_X, 128);
    DrawLabel(LEAVE_HINT, PANEL_TEXT_X, 160);
    DrawLabel(FastHeld() ? FAST_SPEED : NORMAL_SPEED, PANEL_TEXT_X, 208);
}

// Back to the high-score table.
void EndWatching() {
    if (watch.watched == nullptr) return;
    watch.watched = nullptr;
    // The table opens as from the main menu, and the watched score is not placed in it.
    ShownGame().entryAllowed = 0;
    ShownGame().entryActive = 0;
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

void ResetWatch() { watch = WatchState{}; }

void StartWatching(const Replay& replay) {
    watch.told = false;
    auto watched = std::make_unique<ReplayedGame>(replay);
    watch.watched = watched.get();
    BeginScreenGame(std::move(watched), {.abandoned = LeaveAbandonedReplay,
                                         .gameOverShown = EndWatching,
                                         .drawOver = DrawWatchPanel});
    // As a game played live begins, also straight from the title (whose fade stops here).
    ChangeScreen(Watch, FirstLevelPictures());
    StopFade();
    PlayModule(MusicResource(GAME_SONG_ID), 0, 0);
}

std::optional<std::uint32_t> WatchedFrames() {
    if (watch.watched == nullptr || screenId != Watch) return std::nullopt;
    return watch.watched->FrameIndex();
}

void WatchFrame() {
    const bool leave = LeaveHeld();
    const int frames = FastHeld() ? FAST_FORWARD_FRAMES : 1;
    for (int i = 0; i < frames && screenId == Watch; ++i) {
        if (!RunGameFrame()) {
            watch.watched->EndGame(GameEnding::Unfinished, ShownGame());
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
