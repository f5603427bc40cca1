#pragma once

#include <cstdint>

#include "common/settings.h"
#include "game/actions.h"
#include "game/game_state.h"
#include "game/rules_clock.h"

// The rules run a frame in two parts: the player's actions, then gravity and the lock. Between
// and after them others (the sounds) may draw from the game's generator.
enum class RulesPart : std::uint8_t { Actions, Rest };

// How a game ended: the piece locked in the entry cells, the player left it, or it was still
// going when its record ran out or the program ended.
enum class GameEnding : std::uint8_t { GameOver, Abandoned, Unfinished };
constexpr int GAME_ENDING_COUNT = 3;

// One frame of a game as its source gives it.
struct FrameInput {
    ActionRecord actions;
    bool turnReversed = false;  // turns go the other way, as the player chose with R
    bool paused = false;        // the game stood still in this frame: no rules ran
};

// Where a game's frames come from, chosen when the game begins: the actions of every frame, the
// clock readings the rules take in it, the key timers of the one who plays, and the game's
// generator around the rules. A game played now (by the player at the devices or by the CPU
// player, recorded as it goes), or a recording played back.
class GameSource : public RulesClock {
public:
    // The settings the game is played with.
    virtual PlaySettings Play() const = 0;
    // The key timers and the hard-drop latch the rules step in every frame: the player's, who
    // carries them from game to game, or the recording's.
    virtual HeldKeys& Keys() = 0;
    // The new game is about to draw its pieces from `random`, the game's generator.
    virtual void BeginGame(Random& random) = 0;
    // The next frame; false when the source has none (a recording has run out).
    virtual bool NextFrame(FrameInput& frame) = 0;
    // The player has paused the game for this frame: a game played now records it, a recording
    // waits.
    virtual void PausedFrame() = 0;
    // Around each part of the rules: the game's generator as the game had it there.
    virtual void BeginRules(RulesPart part, Random& random) = 0;
    virtual void EndRules(Random& random) = 0;
    // `game` has ended as `ending`: a game played now is kept, a recording checks that it ended
    // as it did when it was recorded.
    virtual void EndGame(GameEnding ending, const GameState& game) = 0;
};

// Who plays a game played now: the player at the devices through the bindings, or the CPU
// player, which sees the game the rules keep (the well, the piece, the next piece, the level).
// Asked once a frame, paused frames too. The player holds the keys, and with them the key timers
// and latch that carry from one of their games to the next.
class Player {
public:
    virtual ~Player() = default;
    virtual ActionRecord NextActions() = 0;
    HeldKeys& Keys() { return keys_; }

private:
    HeldKeys keys_;
};
