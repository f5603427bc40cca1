#pragma once

#include "app/high_score_store.h"

// The table back to the built-in one, what start-up learnt of the stored file forgotten, and the
// high-score screen back to its start (tests).
void ResetHighScoresStartupState();
