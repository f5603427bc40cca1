#pragma once

#include <cstdint>

#include "game/game_state.h"
#include "replays/replay.h"

// What a recording keeps of the game besides its frames.

// What a new game keeps from the last one (the key repeats and the hard drop's latch of the one
// who holds the keys), in a replay's start, and back.
void TakeCarriedState(ReplayStart& start, const HeldKeys& keys);
void PutCarriedState(const ReplayStart& start, HeldKeys& keys);

// The fingerprint of a well that a replay's end is checked against.
std::uint64_t WellHash(const GameState& game);
// How `game` stands now, as a replay's end records it.
ReplayResult CurrentResult(const GameState& game, GameEnding ending);
