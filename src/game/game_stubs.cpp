// Placeholders until the game's rules and screens land.
#include <cstdint>

#include "game/high_scores.h"
#include "game/play_screen.h"

void PlayFrame() {}
void LoadHighScores() {}
void HighScoresFrame() {}
std::uint8_t fromMenu = 0;
