#include "platform/keys.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <mutex>
#include <utility>

#include "platform/keys_testing.h"
#include "platform/pointer_mapping.h"

namespace {

// Virtual-key code to SDL scancode; letters and digits are mapped by range below.
constexpr std::pair<int, SDL_Scancode> KEY_TABLE[] = {
    {VK_BACK, SDL_SCANCODE_BACKSPACE},    {VK_RETURN, SDL_SCANCODE_RETURN},
    {VK_ESCAPE, SDL_SCANCODE_ESCAPE},     {VK_SPACE, SDL_SCANCODE_SPACE},
    {VK_PRIOR, SDL_SCANCODE_PAGEUP},      {VK_NEXT, SDL_SCANCODE_PAGEDOWN},
    {VK_LEFT, SDL_SCANCODE_LEFT},         {VK_UP, SDL_SCANCODE_UP},
    {VK_RIGHT, SDL_SCANCODE_RIGHT},       {VK_DOWN, SDL_SCANCODE_DOWN},
    {VK_SUBTRACT, SDL_SCANCODE_KP_MINUS}, {VK_ADD, SDL_SCANCODE_KP_PLUS},
    {VK_F10, SDL_SCANCODE_F10},           {VK_F12, SDL_SCANCODE_F12},
};

static_assert(KEY_POSITION_COUNT == SDL_NUM_SCANCODES);
static_assert(KEY_POSITION_A == SDL_SCANCODE_A && KEY_POSITION_D == SDL_SCANCODE_D &&
              KEY_POSITION_P == SDL_SCANCODE_P && KEY_POSITION_S == SDL_SCANCODE_S &&
              KEY_POSITION_W == SDL_SCANCODE_W && KEY_POSITION_ESCAPE == SDL_SCANCODE_ESCAPE &&
              KEY_POSITION_SPACE == SDL_SCANCODE_SPACE &&
              KEY_POSITION_RIGHT == SDL_SCANCODE_RIGHT && KEY_POSITION_LEFT == SDL_SCANCODE_LEFT &&
              KEY_POSITION_DOWN == SDL_SCANCODE_DOWN && KEY_POSITION_UP == SDL_SCANCODE_UP &&
              KEY_POSITION_LEFT_CTRL == SDL_SCANCODE_LCTRL &&
              KEY_POSITION_RIGHT_CTRL == SDL_SCANCODE_RCTRL &&
              NO_KEY_POSITION == SDL_SCANCODE_UNKNOWN);

// The tests' keys, key positions and pointer, which stand for the devices while on.
struct InputScript {
    bool on = false;
    std::array<bool, 256> keys{};
    std::array<bool, KEY_POSITION_COUNT> positions{};
    PointerPos pointer{};
};

bool ScancodeDown(SDL_Scancode code) {
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    return state != nullptr && code < count && state[code] != 0;
}

// A letter is the key that types it in the player's keyboard layout, so a name typed on an
// AZERTY keyboard comes out as printed on the keys; a layout without the letter falls back to
// the key at the letter's place on a US keyboard.
SDL_Scancode LetterScancode(int vk) {
    const SDL_Scancode byLayout =
        SDL_GetScancodeFromKey(static_cast<SDL_Keycode>(SDLK_a + (vk - 'A')));
    if (byLayout != SDL_SCANCODE_UNKNOWN) return byLayout;
    return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (vk - 'A'));
}

// The one key of a code (both Ctrl keys and the mouse button are looked at apart).
SDL_Scancode ScancodeOf(int vk) {
    if (vk >= 'A' && vk <= 'Z') return LetterScancode(vk);
    if (vk >= '1' && vk <= '9') return static_cast<SDL_Scancode>(SDL_SCANCODE_1 + (vk - '1'));
    if (vk == '0') return SDL_SCANCODE_0;
    for (const auto& [code, scancode] : KEY_TABLE) {
        if (code == vk) return scancode;
    }
    return SDL_SCANCODE_UNKNOWN;
}

bool DeviceKeyDown(int vk) {
    if (vk == VK_LBUTTON) return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) != 0;
    if (vk == VK_CONTROL) {
        return ScancodeDown(SDL_SCANCODE_LCTRL) || ScancodeDown(SDL_SCANCODE_RCTRL);
    }
    // As on the keyboards the game was designed for, the keypad's Enter is Return too.
    if (vk == VK_RETURN && ScancodeDown(SDL_SCANCODE_KP_ENTER)) return true;
    const SDL_Scancode scancode = ScancodeOf(vk);
    return scancode != SDL_SCANCODE_UNKNOWN && ScancodeDown(scancode);
}

// Window pixels to back-buffer pixels: set by the renderer from the window's real size.
struct PointerMapping {
    float scale = 1.0f;
    int offsetX = 0;
    int offsetY = 0;
};

// What the keyboard and the pointer leave between frames: the key presses in the order they
// came, oldest first (the oldest go when it is full), and how the pointer maps.
constexpr std::size_t KEPT_PRESSES = 64;
struct DeviceInput {
    std::mutex lock;  // over the presses: SDL may run event watches on the thread that pushes
    std::deque<int> presses;
    PointerMapping pointer;
    std::atomic<bool> pressedByTouch{false};
};

// Where the keys and the pointer answer from: the devices, or the tests' script while it is on.
struct KeyInput {
    InputScript script;
    DeviceInput devices;
};
KeyInput input;

void KeepPress(int vk) {
    std::lock_guard<std::mutex> hold(input.devices.lock);
    if (input.devices.presses.size() == KEPT_PRESSES) input.devices.presses.pop_front();
    input.devices.presses.push_back(vk);
}

int VirtualKeyOf(SDL_Scancode scancode) {
    if (scancode == SDL_SCANCODE_UNKNOWN) return 0;
    for (int vk = 0; vk < 256; ++vk) {
        if (vk != VK_LBUTTON && vk != VK_CONTROL && ScancodeOf(vk) == scancode) return vk;
    }
    return 0;
}

bool IsPosition(int position) {
    return position > NO_KEY_POSITION && position < KEY_POSITION_COUNT;
}

// The place a script's key code stands for: the left one of the two Ctrl keys.
int PositionOfKey(int vk) {
    return vk == VK_CONTROL ? KEY_POSITION_LEFT_CTRL : static_cast<int>(ScancodeOf(vk));
}

// Runs as SDL takes each event from the window system, so presses are kept in the order they
// happened, whenever the game next looks.
int KeepKeyPress(void*, SDL_Event* event) {
    if (event->type == SDL_MOUSEBUTTONDOWN && event->button.button == SDL_BUTTON_LEFT) {
        input.devices.pressedByTouch = event->button.which == SDL_TOUCH_MOUSEID;
    }
    if (event->type == SDL_KEYDOWN && event->key.repeat == 0 && !input.script.on) {
        if (const int vk = VirtualKeyOf(event->key.keysym.scancode)) KeepPress(vk);
    }
    return 0;
}

}  // namespace

bool KeyDown(int vk) {
    if (input.script.on)
        return vk >= 0 && vk < 256 && input.script.keys[static_cast<std::size_t>(vk)];
    return DeviceKeyDown(vk);
}

void WatchKeyPresses(bool on) {
    if (on) {
        SDL_AddEventWatch(KeepKeyPress, nullptr);
    } else {
        SDL_DelEventWatch(KeepKeyPress, nullptr);
    }
}

void ForgetKeyPresses() {
    std::lock_guard<std::mutex> hold(input.devices.lock);
    input.devices.presses.clear();
}

int TakeReleasedPress(bool (*wanted)(int vk)) {
    std::lock_guard<std::mutex> hold(input.devices.lock);
    auto& presses = input.devices.presses;
    while (!presses.empty() && !wanted(presses.front())) presses.pop_front();
    if (presses.empty() || KeyDown(presses.front())) return 0;
    const int vk = presses.front();
    presses.pop_front();
    return vk;
}

void TakeKeyPress(int vk) {
    std::lock_guard<std::mutex> hold(input.devices.lock);
    const auto kept = std::find(input.devices.presses.begin(), input.devices.presses.end(), vk);
    if (kept != input.devices.presses.end()) input.devices.presses.erase(kept);
}

void ScriptKey(int vk, bool down) {
    input.script.on = true;
    if (vk < 0 || vk >= 256) return;
    bool& state = input.script.keys[static_cast<std::size_t>(vk)];
    if (down && !state) KeepPress(vk);
    state = down;
    const int position = PositionOfKey(vk);
    if (IsPosition(position)) input.script.positions[static_cast<std::size_t>(position)] = down;
}

bool KeyPositionDown(int position) {
    if (!IsPosition(position)) return false;
    if (input.script.on) return input.script.positions[static_cast<std::size_t>(position)];
    return ScancodeDown(static_cast<SDL_Scancode>(position));
}

int VirtualKeyAt(int position) {
    return IsPosition(position) ? VirtualKeyOf(static_cast<SDL_Scancode>(position)) : 0;
}

std::string KeyPositionName(int position) {
    if (!IsPosition(position)) return {};
    const char* name = SDL_GetScancodeName(static_cast<SDL_Scancode>(position));
    return name != nullptr ? name : "";
}

int KeyPositionNamed(std::string_view name) {
    // SDL's own lookup wants a terminated string and gives no name to the places it calls "".
    if (name.empty()) return NO_KEY_POSITION;
    for (int position = NO_KEY_POSITION + 1; position < KEY_POSITION_COUNT; ++position) {
        const char* known = SDL_GetScancodeName(static_cast<SDL_Scancode>(position));
        if (known != nullptr && SDL_strlen(known) == name.size() &&
            SDL_strncasecmp(known, name.data(), name.size()) == 0) {
            return position;
        }
    }
    return NO_KEY_POSITION;
}

std::string KeyPositionLabel(int position) {
    if (!IsPosition(position)) return {};
    const char* label = SDL_GetKeyName(SDL_GetKeyFromScancode(static_cast<SDL_Scancode>(position)));
    std::string text = label != nullptr ? label : "";
    // Letters outside plain ASCII have no glyph in the game's font.
    const bool plain = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x80;
    });
    return plain ? text : KeyPositionName(position);
}

void ScriptPointer(int x, int y) {
    input.script.on = true;
    input.script.pointer = {x, y};
}

void ScriptReleaseAllKeys() {
    input.script.on = true;
    input.script.keys.fill(false);
    input.script.positions.fill(false);
}

void StopInputScript() {
    input.script.on = false;
    input.script.keys.fill(false);
    input.script.positions.fill(false);
    ForgetKeyPresses();
}

void SetPointerMapping(float scale, int offsetX, int offsetY) {
    input.devices.pointer = {scale > 0.0f ? scale : 1.0f, offsetX, offsetY};
}

bool PointerPressedByTouch() {
    return !input.script.on && input.devices.pressedByTouch.load(std::memory_order_relaxed);
}

PointerPos GetPointerPos() {
    if (input.script.on) return input.script.pointer;
    int wx = 0;
    int wy = 0;
    const Uint32 buttons = SDL_GetMouseState(&wx, &wy);
    // A finger once lifted points at nothing: the item it tapped does not stay lit as if a
    // mouse rested there.
    if (PointerPressedByTouch() && (buttons & SDL_BUTTON_LMASK) == 0) return {-1, -1};
    const auto x =
        static_cast<float>(wx - input.devices.pointer.offsetX) / input.devices.pointer.scale;
    const auto y =
        static_cast<float>(wy - input.devices.pointer.offsetY) / input.devices.pointer.scale;
    return {static_cast<int>(SDL_floorf(x)), static_cast<int>(SDL_floorf(y))};
}
