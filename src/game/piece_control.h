#pragma once

#include <cstdint>

#include "game/actions.h"
#include "game/game_source.h"
#include "game/game_state.h"
#include "game/pieces.h"
#include "game/well.h"

// What the player does to the falling piece, and what happens when it lands.

// One frame of a repeating action: true when it acts now. Its timer steps either way.
bool StepKeyRepeat(KeyRepeat& repeat, bool held, std::uint8_t frames);

// The tests behind the moves, on any well and piece, so that a player planning ahead asks
// exactly what the rules will ask. A shift by dx (-1 or 1) keeps every block inside the
// playable columns and finds its cells empty; the turn act turns a piece of this type only with
// its box away from the edges and its whole turning block empty.
bool ShiftIsFree(const Well& well, const PieceMask& mask, int x, int y, int dx);
bool TurningBlockIsEmpty(const Well& well, std::uint8_t type, int x, int y);
bool TurnIsFree(const Well& well, std::uint8_t type, int x, int y);

// Once per play frame, before gravity, from the frame's actions and turning direction, with the
// key timers and latch of the one who holds the keys: turn, turn the other way, shift left, shift
// right, soft drop, hard drop (once per press) and abandon, which ends the game (the play screen
// then goes back to the main menu).
void HandleGameKeys(GameState& game, HeldKeys& keys, const FrameInput& frame, RulesClock& clock);

// Turns currentMask when the whole turning block of the well is empty; counterClockwise 0 turns
// clockwise. Records the turn when it turned.
void RotatePiece(GameState& game, std::uint8_t type, std::uint8_t counterClockwise);

// Each moves the piece one column when its shift is held in `actions` and the way is free.
void MoveLeft(GameState& game, ActionRecord actions);
void MoveRight(GameState& game, ActionRecord actions);

// One row down for 10 points, unless the piece rests; the gravity timer restarts.
void SoftDrop(GameState& game, RulesClock& clock);
// Drops the piece as far as it goes, 11 points a row; the gravity timer restarts.
void HardDrop(GameState& game, RulesClock& clock);

enum class LockResult {
    Falling,   // the piece does not rest, or it slid off a ledge: it keeps falling
    Locked,    // the piece locked; the next one entered and full rows were removed and scored
    GameOver,  // the piece locked in the entry cells of row 1: the game is over
};

// Once per play frame, after the piece has been drawn. A resting piece may slide along the
// surface while a shift is held in `actions` (not while the hard drop's latch in `keys` is set),
// then locks. On GameOver the well holds the locked piece and nothing else has changed (no new
// piece, full rows stay): the play screen then runs the game-over transition. Records the lock,
// any level-ups, the rows removed and the game over as they happen.
LockResult TryLockPiece(GameState& game, const HeldKeys& keys, ActionRecord actions);

// The steps of the lock, which a player foreseeing its moves takes on its own copy of the game.
// Whether the falling piece locks at the end of this frame: it rests, and unless the hard drop's
// latch is set it still rests after sliding along the surface (it moves) while a shift is held.
bool LocksNow(GameState& game, const HeldKeys& keys, ActionRecord actions);
// The resting piece joins the well and the lock is recorded; false when it locked in the entry
// cells of row 1, which ends the game.
bool JoinWell(GameState& game);
// A piece of `type` enters the well at the top, as it enters in its entering orientation.
void EnterPiece(GameState& game, std::uint8_t type);
