#pragma once

#include "game/replay.h"

// Watching a recorded game: the play screen runs it from its record, with its sounds, fades and
// music, and "REPLAY" in the counters' panel. Escape, B or a click ends it, holding Right (or a
// controller's right shoulder) plays it four times as fast, and P pauses as in a game. At its
// end, or when it comes apart from the rules, the high-score table comes back as from the main
// menu. Nothing of it touches the table, the settings or the stored files.

// Starts the game of the replay and the Watch screen.
void StartWatching(const Replay& replay);
// The Watch screen's frame.
void WatchFrame();

// The watched game has ended as `ending` (the play screen calls this): says on stderr when it
// did not end as its record does.
void CheckWatchedEnd(ReplayEnding ending);
// Back to the high-score table, the player's play settings and the live clock.
void EndWatching();
