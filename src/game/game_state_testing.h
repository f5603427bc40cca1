#pragma once

#include "game/game_state.h"

// Puts the game's state (the record, the key-repeat latches and the events not yet taken) back
// to how the program starts, all zero before the first ResetGame; for tests.
void ResetGameStartupState();
