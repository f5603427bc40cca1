#pragma once

#include <cstdint>

// Whether the high-score screen was opened from the main menu (1) or after a game (0).
extern std::uint8_t fromMenu;

// Takes the stored table when a valid one exists, else the built-in one (resource loading).
void LoadHighScores();
void HighScoresFrame();
