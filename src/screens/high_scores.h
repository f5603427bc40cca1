#pragma once

#include <cstdint>

#include "game/high_score_table.h"

// Whether the high-score screen was opened from the main menu (1) or after a game (0).
extern std::uint8_t fromMenu;

// The HighScores screen: places a finished game's score, takes the name, shows the table.
void HighScoresFrame();

// The key typed into a name: '0'..'9' and 'A'..'Z' (and the codes between them, 0x2F..0x5A),
// 0x20 Space, 8 Backspace, 13 Enter, or 0 for none. A character key is returned once it has
// been released; Enter at once.
std::uint8_t ReadEntryKey();

// Puts the table back to the built-in one and fromMenu to 0; for tests.
void ResetHighScoresStartupState();

// For tests: called on every pass of the wait for a key's release, so a scripted key can be let
// go. Null for none.
void SetEntryWaitHook(void (*hook)());
