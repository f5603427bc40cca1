#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "gfx/sprites.h"
#include "platform/keys.h"

constexpr int MENU_ITEM_COUNT = 5;
constexpr int OPTIONS_CONTROL_COUNT = 20;

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
};
extern FrontEndState frontEnd;

// Puts the shared menu state back as the program starts it (every hover armed, no latch).
void ResetFrontEndState();

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
// entry, lights the control with `highlight`(rect), and on a press plays the click and then
// runs `action`. Outside, it re-arms the hover sound.
void HandleControl(const SpriteRect& rect, std::uint8_t& hoverArmed,
                   void (*highlight)(const SpriteRect&), PressMode mode, void (*action)());
