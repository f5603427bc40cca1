#pragma once

#include <cstdint>

#include "cpu_player/steering.h"
#include "game/actions.h"
#include "game/game_source.h"
#include "game/pieces.h"
#include "game/well.h"

// The CPU player: a player of the game's own that sees what a person sees and answers, frame by
// frame, with the actions a person would hold. Its moves go through the same repeats, turns and
// drops as anyone's, and it never draws from the game's random generator, so a game has the
// same pieces whoever plays it, and the same game gives the same moves.

// What a player sees of the game: the locked cells, the falling piece where it stands, the next
// piece and the level.
struct PlayerView {
    Well well{};
    std::uint8_t currentType = 0;
    PieceMask currentMask{};
    std::uint8_t pieceX = 0;
    std::uint8_t pieceY = 0;
    std::uint8_t nextType = 0;
    std::uint8_t level = 1;
};

struct GameState;

// What `game` shows now.
PlayerView ViewOfGame(const GameState& game);

// One CPU player and its memory: the well it last planned on, the place it steers to, and where
// it expects its actions to leave the piece after the frame, timers included. A new one knows
// nothing yet and takes the key timers as at start-up.
class CpuPlayer {
public:
    // The actions to hold in this frame, seeing `view`.
    ActionRecord Actions(const PlayerView& view, const SteerSettings& steer);

private:
    bool IsNewPiece(const PlayerView& view) const;

    bool planned_ = false;
    Well plannedWell_{};
    std::uint8_t plannedType_ = 0;
    int lastY_ = 0;
    SteerTarget target_;
    PieceMotion expected_;
};

// The CPU player as the player of a game played now: each frame it sees `game`, which the rules
// keep, and steers with the game's repeats and the turning direction `turnReversed` holds (the
// player's R switch, or a constant for a game that does not follow it).
class CpuGamePlayer final : public Player {
public:
    CpuGamePlayer(const GameState& game, const std::uint8_t& turnReversed)
        : game_(game), turnReversed_(turnReversed) {}
    ActionRecord NextActions() override;

private:
    const GameState& game_;
    const std::uint8_t& turnReversed_;
    CpuPlayer cpu_;
};
