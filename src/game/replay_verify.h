#pragma once

#include <cstdint>
#include <string>

#include "game/replay.h"

// A recorded game run again through the rules as fast as they go, without drawing or sound: the
// same steps a play frame takes (the actions, gravity, the lock), from the same start, the same
// readings and the same draws.
struct ReplayVerdict {
    bool matches = false;  // ended where the record says, as the record says
    ReplayResult result;   // how the rules ended it
    std::string problem;   // when it does not match: what differs, and at which frame
};

// `afterFrame`, when given, runs after every frame the rules played (not the paused ones), with
// the frame's index; a test looks at the game there. The program's play settings, rules clock,
// key repeats and generator are left as the replay's end had them, except the play settings,
// which are put back.
ReplayVerdict VerifyReplay(const Replay& replay, void (*afterFrame)(std::uint32_t) = nullptr);
