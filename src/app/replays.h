#pragma once

#include <cstdint>
#include <string>

#include "replays/replay.h"
#include "screens/high_scores.h"

// The game's side of replays that reaches files and the clock: every game is recorded, the last
// one is kept, a placed score keeps its game with its row, and a row's game is watched from the
// table.

// Between frames: stores a game that has just finished, ties it to the row its score was placed
// in, and starts a replay the high-score table asked for.
void KeepReplays();
// At shutdown: a game still in play is kept as the last game, unfinished.
void KeepReplaysAtShutdown();

// Which rows of the table have a game kept with them (for the table's marks).
RowGames FindRowGames();

// Reads a replay file: false with a reason when it cannot be read or is not a sound replay.
bool ReadReplayFile(const std::string& path, Replay& replay, std::string& reason);

// plemby --replay FILE: the game opens straight into the replay (once its file has been read:
// 2 when it cannot be); else as RunGame.
int WatchReplayFile(const std::string& path);

// plemby --replay FILE --pause-at FRAME: the replay opened at start-up pauses once it has played
// FRAME frames (the game's own pause, which says how to go on), so that it shows that moment.
void PauseReplayAt(std::uint32_t frame);

// plemby --verify-replay FILE: the rules run the game headless and print its end; 0 when it
// ends as recorded, 1 when it does not, 2 when the file cannot be read.
int VerifyReplayFile(const std::string& path);
