#pragma once

#include <string>

#include "game/high_score_table.h"

// The high-score table on disk, beside the settings store: read at start-up, written whenever
// a placed score or a typed name changes it.

constexpr const char* HIGH_SCORES_FILE_NAME = "highscores.bin";

// The table built into the executable (a blank-named table of the default scores should the
// resource be unusable).
HighScoreTable BuiltInHighScores();
// Takes the stored table when a valid one exists, else the built-in one (resource loading).
// A stored file that exists but cannot be read is said so on stderr and never written over.
void LoadHighScores();
// $XDG_DATA_HOME/plemby/highscores.bin; empty when no data folder can be found.
std::string HighScoresPath();
// Writes the table atomically to its file; false when it could not be stored, which the
// first time is said on stderr.
bool SaveHighScores();
