#pragma once

#include <array>

#include "game/actions.h"
#include "platform/controllers.h"

// Which device inputs stand for which action in play: one row per action, in the order of
// PlayAction. An action is held while any of its keys is down or its button is held on any
// game controller.
struct ActionBinding {
    PlayAction action;
    std::array<int, 2> keys;  // virtual-key codes; NO_BOUND_KEY where there is none
    PadInput pad;
};
constexpr int NO_BOUND_KEY = -1;

extern const std::array<ActionBinding, PLAY_ACTION_COUNT> ACTION_BINDINGS;

// The actions held now, from the keyboard and the controllers through ACTION_BINDINGS. The play
// screen takes one at the start of each frame and hands it to the rules; the pause hotkey takes
// its own after the frame. Events are pumped only between frames, so each read in a frame
// answers the same.
ActionRecord ReadPlayActions();

// After a change of screen: a controller button still held from the last screen (the A that
// chose START) counts again only once it has been released.
void HoldOverPadButtons();
