#pragma once

// Starts a new game: the well with its floor and garbage rows, the first two pieces, level,
// lines and score.
void ResetGame();
