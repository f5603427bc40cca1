#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "game/high_score_table.h"

// Whether the high-score screen was opened from the main menu (1) or after a game (0).
extern std::uint8_t fromMenu;

// The HighScores screen: places a finished game's score, takes the name, shows the table.
void HighScoresFrame();

// The key typed into a name: '0'..'9' and 'A'..'Z' (and the codes between them, 0x2F..0x5A),
// 0x20 Space, 8 Backspace, 13 Enter, or 0 for none. A character key is returned once it has
// been released, in the frame that sees it up; Enter at once.
std::uint8_t ReadEntryKey();

// True while the screen takes a name: a touch screen then offers its own way to type it.
bool NameEntryOpen();

// The character key being typed into a name, down and not yet released; 0 when none. Until its
// release it is only typing: the hotkeys see it up.
int KeyAwaitingRelease();

// Once after a score was placed in the table: its row (0..7); else -1. The game that made it is
// then kept with the row.
int TakePlacedRow();
// Once after the player chose a row's game to watch (keys 1 to 8, or a lit row and A, on the
// table opened from the main menu): the row; else -1.
int TakeWatchRequest();

// Where the screen stores the table each time it changes; the program sets it at start-up
// (the store lives above the screens). Null stores nothing.
void SetHighScoreStore(bool (*store)());

// Which rows of the table have a game that can be watched; the program sets the finder at
// start-up (the replays are kept above the screens). The table opened from the main menu asks
// once a visit and marks those rows with the key that plays them. Null finds none.
using RowGames = std::array<bool, HIGH_SCORE_ROWS>;
void SetRowGameFinder(RowGames (*find)());

// One line on the table in place of the hint, until the table is left: a chosen game that
// could not be watched says so.
void ShowTableMessage(const std::string& text);
