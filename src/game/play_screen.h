#pragma once

// The Play screen's frame: background, panels, counters and the next piece drawn from the
// state before this frame's input, then the keys, gravity, the well with the falling piece,
// and the lock of a resting piece, which may end the game.
void PlayFrame();

// Inside an open sprite batch: the visible well (rows 1..20, columns 2..11) and the next piece
// in its box.
void DrawWell();
void DrawNextPiece();

// The end of a game: shows the final well, keeps it as the game-over picture, starts the
// game-over music and hands over to the GameOver screen. Score, level and lines stay.
void RunGameOverTransition();

// The way back from a game to the main menu, after Escape or after the high-score screen: the
// game is reset, the title music starts again and the menu fades in from black.
void ReturnToMenuAfterGame();
