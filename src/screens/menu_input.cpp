#include "screens/menu_input.h"

#include <array>
#include <cstdint>

#include "platform/controllers.h"
#include "platform/keys.h"
#include "screens/navigation_testing.h"

namespace {

// A held direction acts again after 20 frames (400 ms), then every 6 frames (120 ms).
constexpr std::uint32_t REPEAT_DELAY_FRAMES = 20;
constexpr std::uint32_t REPEAT_EVERY_FRAMES = 6;
constexpr int NO_KEY = -1;
constexpr int MENU_KEY_COUNT = 10;

struct MenuKeyInputs {
    int key;
    std::array<PadInput, 2> pads;
    int padCount;
    bool repeats;
};

// Indexed by MenuKey.
constexpr MenuKeyInputs MENU_KEY_INPUTS[MENU_KEY_COUNT] = {
    {VK_UP, {PadInput::Up}, 1, true},
    {VK_DOWN, {PadInput::Down}, 1, true},
    {VK_LEFT, {PadInput::Left}, 1, true},
    {VK_RIGHT, {PadInput::Right}, 1, true},
    {VK_RETURN, {PadInput::A}, 1, false},
    {NO_KEY, {PadInput::Start}, 1, false},
    {NO_KEY, {PadInput::Up}, 1, true},
    {NO_KEY, {PadInput::Down}, 1, true},
    {NO_KEY, {PadInput::Right, PadInput::A}, 2, true},
    {NO_KEY, {PadInput::Left, PadInput::B}, 2, true},
};
static_assert(static_cast<int>(MenuKey::LetterBack) + 1 == MENU_KEY_COUNT);

struct MenuKeyState {
    bool held = false;
    bool pressed = false;
    std::uint32_t heldFrames = 0;
    bool awaitRelease = false;  // held over from another screen
};
std::array<MenuKeyState, MENU_KEY_COUNT> menuKeys;

bool Held(const MenuKeyInputs& inputs) {
    if (inputs.key != NO_KEY && KeyDown(inputs.key)) return true;
    for (int i = 0; i < inputs.padCount; ++i) {
        if (PadHeld(inputs.pads[static_cast<std::size_t>(i)])) return true;
    }
    return false;
}

bool RepeatsNow(std::uint32_t heldFrames) {
    return heldFrames >= REPEAT_DELAY_FRAMES &&
           (heldFrames - REPEAT_DELAY_FRAMES) % REPEAT_EVERY_FRAMES == 0;
}

}  // namespace

void ReadMenuKeys() {
    for (std::size_t i = 0; i < menuKeys.size(); ++i) {
        MenuKeyState& state = menuKeys[i];
        const bool held = Held(MENU_KEY_INPUTS[i]);
        state.awaitRelease = state.awaitRelease && held;
        if (state.awaitRelease) continue;
        state.heldFrames = held && state.held ? state.heldFrames + 1 : 0;
        state.pressed =
            held && (!state.held || (MENU_KEY_INPUTS[i].repeats && RepeatsNow(state.heldFrames)));
        state.held = held;
    }
}

bool MenuKeyPressed(MenuKey key) { return menuKeys[static_cast<std::size_t>(key)].pressed; }

void ResetMenuKeys() { menuKeys = {}; }

void HoldMenuKeys() {
    for (MenuKeyState& state : menuKeys) state = {true, false, 0, true};
}

bool MenuBackHeld() {
    return KeyDown(VK_ESCAPE) || PadHeld(PadInput::B) || PadHeld(PadInput::Back);
}
