#pragma once

#include "game/actions.h"

// Which device inputs stand for which action in play: the player's bindings (common/bindings.h),
// whose defaults are the keys and buttons the game has always had. An action is held while one
// of its keys (by its place on the keyboard) is down, its button is held on any game
// controller, or a finger holds its touch control (platform/touch.h).

// The actions held now, from the keyboard and the controllers through the bindings. The play
// screen takes one at the start of each frame and hands it to the rules; the pause hotkey takes
// its own after the frame. Events are pumped only between frames, so each read in a frame
// answers the same.
ActionRecord ReadPlayActions();

// After a change of screen: a controller button still held from the last screen (the A that
// chose START) counts again only once it has been released.
void HoldOverPadButtons();
