#include <iterator>

#include "app/bindings_store.h"
#include "app/pause.h"
#include "app/replays.h"
#include "app/shell.h"
#include "common/bindings.h"
#include "gfx/back_buffer.h"
#include "platform/touch.h"
#include "screens/demo.h"
#include "screens/front_end.h"
#include "screens/high_scores.h"
#include "screens/navigation.h"
#include "screens/play_screen.h"
#include "screens/watch.h"

Shell shell;

namespace {

// Indexed by ScreenId.
constexpr void (*SCREEN_FRAMES[])() = {
    TitleFrame, MainMenuFrame,   PlayFrame,     OptionsFrame, GameOverFrame,
    InfoFrame,  HighScoresFrame, ControlsFrame, WatchFrame,   DemoFrame,
};
static_assert(std::size(SCREEN_FRAMES) == SCREEN_COUNT, "one frame function per screen id");

}  // namespace

void RunFrame() {
    TakeTouchControls();
    if (shell.Paused == 0) {
        const std::int32_t shown = screenId;
        ClearBackBuffer();
        // An unknown id leaves the frame black.
        if (screenId >= 0 && screenId < SCREEN_COUNT) SCREEN_FRAMES[screenId]();
        PresentFrame();
        // The player's controls are stored as they leave the screen where they set them.
        if (shown == Controls && screenId != Controls) StoreBindings();
    } else {
        ShowPausedPicture();
        // A game's paused frames are part of its record.
        if (screenId == Play) PausedPlayFrame();
    }
    HandleHotkeys();
    KeepReplays();
    // A touch screen's own controls stand beside the games played on it, its own way to type
    // beside the name entry.
    ShowTouchControls(screenId == Play && bindings.touchControls != 0);
    ShowNameTyping(NameEntryOpen());
}
