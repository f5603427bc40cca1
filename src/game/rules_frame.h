#pragma once

#include "game/game_events.h"
#include "game/game_source.h"

// The rules of a game, run from its source. A play frame runs in two halves around the drawing of
// the well, because the picture shows a resting piece where it lies before it locks at the end of
// the frame. Each half returns what happened in it, in order.

// A new `game` from the source's play settings and clock, drawn from the generator the game names.
void BeginGame(GameState& game, GameSource& source);

// The frame's actions (turns, shifts, drops, the abandon), then gravity, unless the player left
// the game.
GameEvents BeginRulesFrame(GameState& game, GameSource& source, const FrameInput& frame);

// The lock of a resting piece, which may end the game.
GameEvents EndRulesFrame(GameState& game, GameSource& source, const FrameInput& frame);

// Whether `events` hold one of `kind`.
bool Happened(const GameEvents& events, GameEventKind kind);
