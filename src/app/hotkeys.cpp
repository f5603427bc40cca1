#include "app/shell.h"
#include "platform/controllers.h"
#include "platform/keys.h"
#include "screens/action_bindings.h"
#include "screens/high_scores.h"
#include "screens/navigation.h"
#include "screens/setting_changes.h"

std::uint8_t HotkeyLatch = 0;

namespace {

void TogglePause() { Paused = Flipped(Paused); }

// In a game a controller's Start is P as well; elsewhere Start leaves the title or ends a name
// and must not also pause.
bool HotkeyDown(int key) {
    if (key == KeyAwaitingRelease()) return false;
    if (key == 'P' && screenId == Play) return ReadPlayActions().Held(PlayAction::Pause);
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

}  // namespace

void HandleHotkeys() {
    // A controller unplugged in a game pauses it, as P would; a game already paused stays so.
    if (TakeControllerUnplugged() && screenId == Play) Paused = 1;
    for (const Hotkey& hotkey : HOTKEYS) {
        if (!HotkeyDown(hotkey.key)) continue;
        if (HotkeyLatch != 0) return;
        hotkey.action();
        // Also when the action changed nothing because a value stood at its limit.
        HotkeyLatch = 1;
        return;
    }
    HotkeyLatch = 0;
}
