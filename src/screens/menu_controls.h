#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/sprites.h"
#include "platform/keys.h"
#include "screens/menu_items.h"

constexpr int OPTIONS_CONTROL_COUNT = 21;
constexpr int NO_FOCUS = -1;
// The block of the sprite sheet that marks where the keyboard or a controller is.
constexpr SpriteRect FOCUS_BLOCK = {128, 0, 160, 32};

template <std::size_t N>
constexpr std::array<std::uint8_t, N> AllArmed() {
    std::array<std::uint8_t, N> flags{};
    flags.fill(1);
    return flags;
}

// The state the main menu and the options screen share and keep between visits.
struct FrontEndState {
    // The pointer in back-buffer pixels, as last read by the main menu or the options screen.
    ::PointerPos PointerPos{};
    // Set when a press on an item or control has acted; cleared only over one with the button up.
    std::uint8_t pressLatch = 0;
    // Per item and per control: the hover sound may play the next time the pointer enters it.
    std::array<std::uint8_t, MENU_ITEM_COUNT> menuHoverArmed = AllArmed<MENU_ITEM_COUNT>();
    std::array<std::uint8_t, OPTIONS_CONTROL_COUNT> optionsHoverArmed =
        AllArmed<OPTIONS_CONTROL_COUNT>();
    // The item or row lit by the keyboard or a controller, -1 for none; on the main menu the
    // pointer's position when it was lit, since moving the pointer hands the menu back to it.
    int menuFocus = NO_FOCUS;
    ::PointerPos menuFocusPointer{};
    int optionsFocus = NO_FOCUS;
};
extern FrontEndState frontEnd;

// Reads the pointer into frontEnd.PointerPos.
void ReadPointer();

// The pointer lies inside a highlight rectangle when left < x < right and top < y < bottom:
// the rectangle's first column and row do not count, its last ones do.
bool PointerInside(const SpriteRect& rect);

// How a control meets the press latch: a one-shot control acts once per press and needs the
// latch clear; a repeating one acts in every frame while the button is held and leaves the
// latch alone.
enum class PressMode { OneShot, Repeating };

// One control of a menu: while the pointer is inside `rect`, plays the hover sound once per
// entry, lights the control with `highlight`(rect) when one is given, and on a press plays the click and then
// runs `action`. Outside, it re-arms the hover sound.
void HandleControl(const SpriteRect& rect, std::uint8_t& hoverArmed,
                   void (*highlight)(const SpriteRect&), PressMode mode, void (*action)());

// A press on a control, from the mouse, the keyboard or a controller: the click starts before
// the action, so it sounds with the settings from before it.
void ClickControl(void (*action)());

// Moves a keyboard focus one step through `count` places, round at either end: forward for
// Down (and Right when `rightSteps`), backward for Up (and Left). The first press of any of
// those only lights the first place. True when the focus moved; the hover sound then plays.
bool StepFocus(int& focus, int count, bool rightSteps);
