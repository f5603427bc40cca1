#pragma once

#include <cstdint>

#include "replays/replay.h"

// What a recording keeps of the game besides its frames.

// What a new game keeps from the last one (the key repeats and the hard drop's latch), in a
// replay's start, and back.
void TakeCarriedState(ReplayStart& start);
void PutCarriedState(const ReplayStart& start);

// The fingerprint of a well that a replay's end is checked against.
std::uint64_t WellHash();
// How the game stands now, as a replay's end records it.
ReplayResult CurrentResult(GameEnding ending);
