#pragma once

#include <cstdint>
#include <optional>
#include <variant>

#include "replays/replay.h"
#include "server/submission.h"

// What the rules made of a submitted game, the only figures the server stores.
struct CheckedGame {
    std::uint32_t score = 0;
    std::uint32_t rows = 0;  // every row removed, counted here: the game's counter wraps at 256
    std::uint32_t level = 0;
    std::int64_t pausedMs = 0;  // the paused frames' time
    std::int64_t playedMs = 0;  // from the new game to its last frame, pauses included
};

// The frame loop's period; a real frame never runs ahead of its place on this schedule.
constexpr std::int64_t FRAME_PERIOD_MS = 20;
// How far a frame's first reading may lie before its place on the schedule counted from the
// first frame's reading: that frame (the menu's, which began the game) may itself have run late
// on its schedule, by up to a frame on a quiet machine and more on a busy one. Five frames of
// frozen gravity over a whole game ease nothing.
constexpr std::int64_t SCHEDULE_ALLOWANCE_MS = 100;
// Draws a game's first frame of rules may follow beyond its own sounds: the menu's click that
// started the game.
constexpr std::uint32_t FIRST_FRAME_OTHER_DRAWS = 1;

// Plays a decoded replay through the rules and checks it the ways a made-up replay could ease
// the game: its clock readings must never go back and never fall behind the frames' schedule,
// and the generator may be drawn from outside the rules only once for each sound the frame's
// events start. Refused (422): such a replay, one that does not end as recorded, one whose
// recorded result differs from the rules', and one that did not end in a game over.
// Plays on a game of its own: any number of threads may check games at once.
std::variant<CheckedGame, Refusal> CheckGame(const Replay& replay);
