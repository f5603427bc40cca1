#pragma once

#include "game/actions.h"

// The Play screen's frame: background, panels, counters and the next piece drawn from the
// state before this frame's input, then the keys, gravity, the well with the falling piece,
// and the lock of a resting piece, which may end the game. The frame's actions come from the
// player's devices and are recorded with the game.
void PlayFrame();
// The same frame with the actions given (a replay's).
void RunPlayFrame(ActionRecord actions);
// The play screen as it stands, without running the rules (a replay's paused frame).
void DrawPlayScreenStill();

// Inside an open sprite batch: the visible well (rows 1..20, columns 2..11) and the next piece
// in its box.
void DrawWell();
void DrawNextPiece();

// The end of a game: shows the final well, keeps it as the game-over picture, starts the
// game-over music and hands over to the GameOver screen. Score, level and lines stay.
void RunGameOverTransition();

// Turns what the rules recorded since the last call into sounds, backgrounds and screen
// changes, in the order it happened: the turn, lock, line and level-up sounds, the level-up
// fades, the game-over transition and the way back to the menu after Escape. False when a
// watched replay has ended with it, and the rest of the frame is not played.
bool ReactToGameEvents();

// A new game (ResetGame), with the background fade's timer started from the game's clock.
void BeginNewGame();

// The way back from a game to the main menu, after Escape or after the high-score screen: the
// game is reset, the title music starts again and the menu fades in from black.
void ReturnToMenuAfterGame();
