#pragma once

#include <cstdint>
#include <optional>

#include "replays/replay.h"

// Watching a recorded game: the play screen runs it from its record, with its sounds, fades and
// music, and "REPLAY" in the counters' panel. Escape, B or a click ends it, holding Right (or a
// controller's right shoulder) plays it four times as fast, and P pauses as in a game. At its
// end, or when it comes apart from the rules, the high-score table comes back as from the main
// menu. Nothing of it touches the table, the settings or the stored files.

// Starts the game of the replay and the Watch screen.
void StartWatching(const Replay& replay);
// The Watch screen's frame.
void WatchFrame();
// How many frames of the watched game have been played; none when no game is watched.
std::optional<std::uint32_t> WatchedFrames();
