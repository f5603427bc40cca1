#pragma once

#include "screens/high_scores.h"

// fromMenu to 0 and the name entry's screen state forgotten (tests).
void ResetHighScoresScreen();
