#pragma once

#include <cstdint>
#include <string>

#include "replays/replay.h"

// A recorded game run again through the rules' frame as fast as it goes, without drawing or
// sound, from the same start, the same readings and the same draws.
struct ReplayVerdict {
    bool matches = false;  // ended where the record says, as the record says
    ReplayResult result;   // how the rules ended it
    std::string problem;   // when it does not match: what differs, and at which frame
};

// `afterFrame`, when given, runs after every frame the rules played (not the paused ones), with
// the frame's index; a test looks at the game there. The game, the key repeats and the generator
// are left as the replay's end had them; the player's settings are not touched.
ReplayVerdict VerifyReplay(const Replay& replay, void (*afterFrame)(std::uint32_t) = nullptr);
