#pragma once

#include <cstdint>

#include "game/rules_clock.h"

struct GameState;

// The level and what hangs on it: how fast the piece falls, what removed rows score, and when
// the level rises.

// Gravity interval at the present level, in ms: fallInterval - 100 x (level - 1). Signed: zero
// or less from level 12 on, so the piece then falls every frame.
std::int64_t GravityInterval(const GameState& game);
// The same for any base interval and level.
std::int64_t GravityInterval(std::uint32_t fallInterval, int level);

// Once per play frame after the keys: when the interval has passed, the timer restarts from
// now and the piece falls one row for 1 point, unless it rests.
void ApplyGravity(GameState& game, RulesClock& clock);

// Points for rows removed by one landing at the present level; nothing for 0 or more than 4.
std::uint32_t LineScore(const GameState& game, int rows);

// After lines has grown by one: at 10, 20, ... 110 lines the level goes up and the level reached
// is recorded.
void ApplyLevelUp(GameState& game);
