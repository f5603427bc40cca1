#pragma once

// The player's actions in play, each held while one of its keys is down or its button is held
// on any game controller. The rules and the pause hotkey read them here, so that the keys and
// the controllers go through the same repeats, latches and rules.
enum class PlayAction {
    Turn,        // Up or W; the controller's A
    TurnOther,   // Ctrl; B
    ShiftLeft,   // Left or A; the D-pad or stick left
    ShiftRight,  // Right or D; right
    SoftDrop,    // Space; down
    HardDrop,    // Down or S; up
    Abandon,     // Escape; Back
    Pause,       // P; Start
};

bool PlayActionHeld(PlayAction action);

// After a change of screen: a controller button still held from the last screen (the A that
// chose START) counts again only once it has been released.
void HoldOverPadButtons();
