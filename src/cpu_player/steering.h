#pragma once

#include <cstdint>

#include "game/actions.h"
#include "game/piece_control.h"
#include "game/pieces.h"
#include "game/well.h"

// How the CPU player foresees its piece: the rules' own move tests, key-repeat timers, hard drop
// latch, gravity timer and last-moment slide, played forward frame by frame on its own copy, so
// that it knows where holding a set of actions will leave the piece before it holds them.

// The frame loop's period: the rules' clock moves on by this much from one frame to the next.
constexpr std::int64_t STEER_FRAME_MS = 20;

// The settings that shape a player's steering.
struct SteerSettings {
    std::uint8_t moveRepeat = 6;
    std::uint8_t rotateRepeat = 6;
    std::uint8_t rotateReversed = 0;  // 1: the turn action turns counter-clockwise
};

// The falling piece and every timer that decides what the next held actions will do to it.
struct PieceMotion {
    std::uint8_t type = 0;
    PieceMask mask{};
    int turns = 0;  // clockwise quarter turns from the entering mask, 0..3
    int x = 0;
    int y = 0;
    KeyRepeat turn, turnOther, shiftLeft, shiftRight;
    std::uint8_t dropLatch = 0;
    std::int64_t now = 0;           // the rules' clock in the last frame
    std::int64_t lastFallTime = 0;  // when gravity last stepped (or a hard drop restarted it)
    std::int64_t gravityInterval = 0;
};

// Where to take the piece: how many clockwise quarter turns, which box column, and whether a
// shift still held when the piece comes to rest short of that column may slide it along the
// surface (as far as five columns, past the column too) or is let go so the piece stays.
struct SteerTarget {
    int turns = 0;
    int x = 0;
    bool slide = false;
};

// A piece of the type entering the well, its timers carried over from `before`.
PieceMotion EnteringPiece(std::uint8_t type, const PieceMotion& before);

// The actions to hold this frame to bring the piece towards the target: the turn and the shift
// that are still needed, the hard drop once this frame's turn and shift reach the target, and
// no shift on a frame where it would slide a resting piece against the target's wish.
ActionRecord SteerActions(const Well& well, const PieceMotion& motion, const SteerTarget& target,
                          const SteerSettings& steer);

enum class FrameOutcome { Falling, Locked };
// One frame of the rules on the copy: the keys, gravity, then the slide and lock of a resting
// piece (the well is not changed: a locked piece stays in `motion`).
FrameOutcome ForeseeFrame(const Well& well, PieceMotion& motion, ActionRecord held,
                          const SteerSettings& steer);

// Steers the piece to the target frame by frame until it locks; false when it has not locked
// within `maxFrames`. `motion` is left where the piece locked. `letGo` tells whether a shift was
// let go on a resting frame (only then can the sliding twin of the target end elsewhere).
bool SteerUntilLocked(const Well& well, PieceMotion& motion, const SteerTarget& target,
                      const SteerSettings& steer, int maxFrames, bool* letGo = nullptr);

// Whether the piece's blocks rest on a locked cell or the floor.
bool RestsOn(const Well& well, const PieceMask& mask, int x, int y);
