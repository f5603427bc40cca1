#pragma once

#include <cstdint>
#include <string>

#include "game/game_state.h"
#include "replays/replay.h"

// A recorded game run again through the rules' frame as fast as it goes, without drawing or
// sound, from the same start, the same readings and the same draws.
struct ReplayVerdict {
    bool matches = false;  // ended where the record says, as the record says
    ReplayResult result;   // how the rules ended it
    std::string problem;   // when it does not match: what differs, and at which frame
};

// `afterFrame`, when given, runs after every frame the rules played (not the paused ones), with
// the frame's index, the game and its key timers; a test looks at them there. The game, its key
// timers and its generator are the verification's own: nothing of the program's is touched, so
// games may be verified on several threads at once.
ReplayVerdict VerifyReplay(const Replay& replay, void (*afterFrame)(std::uint32_t, const GameState&,
                                                                    const HeldKeys&) = nullptr);
