#pragma once

#include <string>

// The pause: P (or the keys and button bound to pause) turns it on and off; the game pauses
// itself when the player turns away (the window loses the focus or is minimised) or a controller
// in use is unplugged. A paused game keeps its last picture: it is presented again whenever the
// window needs it (exposed, restored, resized, the renderer's targets reset), and a pause the
// game made itself (and any pause of a watched replay) shows a line over it that says how to go
// on.

// P's pause, on or off.
void TogglePause();
// The game's own pause; a game already paused stays as it is.
void PauseAutomatically();
// Each paused frame: the kept picture, presented again when the window needs it.
void ShowPausedPicture();
// The line a pause the game made itself shows: the player's own pause keys and button (a
// watched replay's pause: P).
std::string PauseLineText();
