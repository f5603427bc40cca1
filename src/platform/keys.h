#pragma once

#include <string>
#include <string_view>

// Keys are named by the Windows virtual-key codes the game was designed around; the
// platform maps each to the matching SDL scancode (both Ctrl keys count as VK_CONTROL, both
// Enter keys as VK_RETURN).
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_BACK = 0x08;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;  // Page Up
constexpr int VK_NEXT = 0x22;   // Page Down
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
// Digits are '0'..'9' (0x30..0x39), letters 'A'..'Z' (0x41..0x5A).
constexpr int VK_SUBTRACT = 0x6D;  // numpad minus
constexpr int VK_ADD = 0x6B;       // numpad plus
constexpr int VK_F10 = 0x79;
constexpr int VK_F12 = 0x7B;

// Keys by their place on the keyboard (SDL's scancodes, which are the USB usage numbers): the
// player's bindings stay under the same fingers whatever the layout prints on the keys.
constexpr int KEY_POSITION_COUNT = 512;
constexpr int NO_KEY_POSITION = 0;
constexpr int KEY_POSITION_A = 4;
constexpr int KEY_POSITION_D = 7;
constexpr int KEY_POSITION_P = 19;
constexpr int KEY_POSITION_Q = 20;
constexpr int KEY_POSITION_S = 22;
constexpr int KEY_POSITION_W = 26;
constexpr int KEY_POSITION_X = 27;
constexpr int KEY_POSITION_Z = 29;
constexpr int KEY_POSITION_RETURN = 40;
constexpr int KEY_POSITION_ESCAPE = 41;
constexpr int KEY_POSITION_BACKSPACE = 42;
constexpr int KEY_POSITION_TAB = 43;
constexpr int KEY_POSITION_SPACE = 44;
constexpr int KEY_POSITION_BACKSLASH = 49;
constexpr int KEY_POSITION_RIGHT = 79;
constexpr int KEY_POSITION_LEFT = 80;
constexpr int KEY_POSITION_DOWN = 81;
constexpr int KEY_POSITION_UP = 82;
constexpr int KEY_POSITION_LEFT_CTRL = 224;
constexpr int KEY_POSITION_RIGHT_CTRL = 228;
constexpr int KEY_POSITION_RIGHT_SHIFT = 229;

// True while the key at that place is down (scripted: ScriptKey sets the place of its key code).
bool KeyPositionDown(int position);
// The key code the game knows a place by (the key that types a letter in the player's layout),
// 0 for a place without one.
int VirtualKeyAt(int position);
// The stored name of a place, the same on every layout ("Left Ctrl", "W"); empty for a place
// SDL has no name for.
std::string KeyPositionName(int position);
// The place of a stored name, any case; NO_KEY_POSITION when the name is not known.
int KeyPositionNamed(std::string_view name);
// What the player's layout prints on the key at that place, for the screen ("Z" for the place
// of W on a French keyboard); the stored name where the layout gives none.
std::string KeyPositionLabel(int position);

// True while the key (or, for VK_LBUTTON, the left mouse button) is down at this moment.
// Reads the state SDL has gathered from the events pumped so far; the headless back end
// answers from the scripted state instead.
bool KeyDown(int vk);

// Presses of keys are also kept, in the order they came, so that a press that came and went
// between two reads of the keys is not lost where every press counts (the name entry). A press
// is kept when the window system reports it (or when a script presses a key).
// The window switches the keeping on once its events flow and off before they stop.
void WatchKeyPresses(bool on);
// Starts afresh: presses kept so far are forgotten.
void ForgetKeyPresses();
// The oldest kept press of the keys `wanted` accepts (the others before it are dropped),
// taken when its key is up again: a press that no read of the keys saw down. 0 when there is
// none or its key is still down.
int TakeReleasedPress(bool (*wanted)(int vk));
// The oldest kept press of vk is taken: its key was seen down and is being dealt with.
void TakeKeyPress(int vk);

// Back-buffer pixels (0..1023, 0..767 inside the picture) of the mouse pointer, mapped by
// the window's real scale and letterbox. Outside the picture the values run past the edges.
struct PointerPos {
    int x = 0;
    int y = 0;
};
PointerPos GetPointerPos();
