#pragma once

// Takes the stored table when a valid one exists, else the built-in one (resource loading).
void LoadHighScores();
void HighScoresFrame();
