#include "app/shell.h"
#include "platform/keys.h"
#include "screens/navigation.h"
#include "screens/setting_changes.h"

std::uint8_t HotkeyLatch = 0;

namespace {

void TogglePause() { Paused = Flipped(Paused); }

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
    for (const Hotkey& hotkey : HOTKEYS) {
        if (!KeyDown(hotkey.key)) continue;
        if (HotkeyLatch != 0) return;
        hotkey.action();
        // Also when the action changed nothing because a value stood at its limit.
        HotkeyLatch = 1;
        return;
    }
    HotkeyLatch = 0;
}
