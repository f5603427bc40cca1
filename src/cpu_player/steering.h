#pragma once

#include <cstdint>

#include "game/actions.h"
#include "game/game_state.h"

// How the CPU player foresees its piece: the rules' own moves (the keys' part of a frame with its
// repeats and hard-drop latch, gravity, the last-moment slide) played forward frame by frame on a
// copy of what it sees, with its own reckoning of the key timers and the clock, so that it knows
// where holding a set of actions will leave the piece before it holds them.

// The frame loop's period as the player reckons it: the rules' clock moves on by this much from
// one frame to the next.
constexpr std::int64_t STEER_FRAME_MS = 20;

// The settings that shape a player's steering.
struct SteerSettings {
    std::uint8_t moveRepeat = 6;
    std::uint8_t rotateRepeat = 6;
    std::uint8_t rotateReversed = 0;  // 1: the turn action turns counter-clockwise
};

// The falling piece in the player's copy of the game, and every timer that decides what the next
// held actions will do to it, as the player reckons them.
struct PieceMotion {
    // What the player sees (the well, the piece, the next piece, the level, the repeats it plays
    // with) and the gravity timer as it reckons it; the copy names no generator.
    GameState game;
    HeldKeys keys;
    std::int64_t now = 0;  // the rules' clock in the last frame
    int turns = 0;         // clockwise quarter turns from the entering mask, 0..3
};

// Where to take the piece: how many clockwise quarter turns, which box column, and whether a
// shift still held when the piece comes to rest short of that column may slide it along the
// surface (past the column too) or is let go so the piece stays.
struct SteerTarget {
    int turns = 0;
    int x = 0;
    bool slide = false;
};

// The piece of the type entering the well of `before`, its timers carried over.
PieceMotion EnteringPiece(std::uint8_t type, const PieceMotion& before);

// The actions to hold this frame to bring the piece towards the target: the turn and the shift
// that are still needed, the hard drop once this frame's turn and shift reach the target, and
// no shift on a frame where it would slide a resting piece against the target's wish.
ActionRecord SteerActions(const PieceMotion& motion, const SteerTarget& target,
                          const SteerSettings& steer);

enum class FrameOutcome { Falling, Locked };
// One frame of the rules on the copy: the keys, gravity, then the slide of a resting piece and
// whether it locks (the copy's well is not changed: a locked piece stays where it locked).
FrameOutcome ForeseeFrame(PieceMotion& motion, ActionRecord held, const SteerSettings& steer);

// Steers the piece to the target frame by frame until it locks; false when it has not locked
// within `maxFrames`. `motion` is left where the piece locked. `letGo` tells whether a shift was
// let go on a resting frame (only then can the sliding twin of the target end elsewhere).
bool SteerUntilLocked(PieceMotion& motion, const SteerTarget& target, const SteerSettings& steer,
                      int maxFrames, bool* letGo = nullptr);
