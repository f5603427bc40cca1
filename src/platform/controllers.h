#pragma once

// Game controllers, through SDL's game-controller interface: every controller plugged in before
// the start or later is opened at once and read; several at a time count together, so a button
// is held when it is held on any of them.

#include <string_view>

// What the game reads of a controller. The four directions are the D-pad's or the left stick's;
// A, B, X and Y are the south, east, west and north buttons whatever their letters.
enum class PadInput {
    Left,
    Right,
    Up,
    Down,
    A,
    B,
    Start,
    Back,
    X,
    Y,
    LeftShoulder,
    RightShoulder,
    LeftStick,
    RightStick,
};
constexpr int PAD_INPUT_COUNT = 14;

// The stored name of an input ("a", "leftshoulder"), the same as SDL's, and its short label for
// the screen ("A", "LB").
std::string_view PadInputName(PadInput input);
std::string_view PadInputLabel(PadInput input);

// Starts SDL's game-controller support and opens every controller already plugged in. Without
// it the game simply reads no controllers.
void OpenControllers();
void CloseControllers();

// From the event pump: a controller was plugged in (SDL's device index) or unplugged (its
// instance id).
void OnControllerAdded(int deviceIndex);
void OnControllerRemoved(int instanceId);

// True while the input is held on any open controller. A stick counts as pushed one way once it
// leans clearly that way, more than towards the other axis, so that a resting or slightly
// off-centre thumb moves nothing.
bool PadHeld(PadInput input);
int OpenControllerCount();

// True once after a controller that was in use has been unplugged.
bool TakeControllerUnplugged();
// How many controllers in use have been unplugged since the start; a wait for a button that sees
// it grow gives up.
int ControllersUnplugged();
