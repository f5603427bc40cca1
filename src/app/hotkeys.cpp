#include <iterator>

#include "app/pause.h"
#include "app/shell.h"
#include "common/bindings.h"
#include "platform/controllers.h"
#include "platform/keys.h"
#include "platform/window.h"
#include "screens/action_bindings.h"
#include "screens/demo.h"
#include "screens/front_end.h"
#include "screens/high_scores.h"
#include "screens/navigation.h"
#include "screens/setting_changes.h"

namespace {

// In a game the keys and the button bound to pause (Start, unless the player chose another) are
// P as well; elsewhere Start leaves the title or ends a name and must not also pause.
bool HotkeyDown(int key) {
    if (key == KeyAwaitingRelease()) return false;
    if (key == 'P' && screenId == Play) {
        const bool bound = ReadPlayActions().Held(PlayAction::Pause);
        return bound || KeyDown('P');
    }
    return KeyDown(key);
}

struct Hotkey {
    int key;
    void (*action)();
};

// Tested in this order; the first key found down decides the call.
constexpr Hotkey HOTKEYS[] = {
    {'P', TogglePause},         {VK_NEXT, SoundVolumeDown},
    {VK_PRIOR, SoundVolumeUp},  {VK_SUBTRACT, MusicVolumeDown},
    {VK_ADD, MusicVolumeUp},    {'M', ToggleMusicSwitch},
    {'N', ToggleSoundSwitch},   {'R', ToggleRotationSwitch},
    {VK_F10, SwitchFullscreen}, {VK_F12, RequestQuit},
};

// The keys that no binding may take are exactly these.
constexpr bool SameKeysAsBindingsRefuse() {
    if (std::size(HOTKEYS) != HOTKEY_COUNT) return false;
    for (int i = 0; i < HOTKEY_COUNT; ++i) {
        if (HOTKEYS[i].key != HOTKEY_KEYS[i]) return false;
    }
    return true;
}
static_assert(SameKeysAsBindingsRefuse());

}  // namespace

void HandleHotkeys() {
    // A controller unplugged in a game pauses it, as P would; a game already paused stays so.
    if (TakeControllerUnplugged() && screenId == Play) PauseAutomatically();
    // So does a window the player turns away from, unless they asked for games to play on.
    if (TakeFocusLost() && bindings.pauseOnFocusLoss && screenId == Play) PauseAutomatically();
    // A key pressed to bind it to an action does only that.
    if (ControlsScreenTookKeys()) shell.HotkeyLatch = 1;
    // So does the key that ended a demo.
    if (TakeDemoTookKeys()) shell.HotkeyLatch = 1;
    for (const Hotkey& hotkey : HOTKEYS) {
        if (!HotkeyDown(hotkey.key)) continue;
        if (shell.HotkeyLatch != 0) return;
        hotkey.action();
        // Also when the action changed nothing because a value stood at its limit.
        shell.HotkeyLatch = 1;
        return;
    }
    shell.HotkeyLatch = 0;
}
