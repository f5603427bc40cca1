// Placeholders until the game's rules and screens land.
#include "game/game_state.h"
#include "game/high_scores.h"
#include "game/play_screen.h"

void ResetGame() {}
void PlayFrame() {}
void LoadHighScores() {}
void HighScoresFrame() {}
