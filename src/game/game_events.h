#pragma once

#include <array>
#include <cstdint>

// What happened in the game, in the order it happened. The rules record it; the play screen
// turns it into sounds, backgrounds and screen changes, so the rules need neither.
enum class GameEventKind : std::uint8_t {
    Turned,        // the falling piece turned
    Locked,        // the piece came to rest and joined the well
    RowsRemoved,   // value: how many full rows the landing removed (1..4)
    LevelReached,  // value: the lines counter that raised the level (10, 20, ... 110)
    GameOver,      // the piece locked in the entry cells
    Abandoned,     // the player left the game (Escape)
};

struct GameEvent {
    GameEventKind kind;
    std::uint8_t value = 0;
};

// A frame records at most two turns, an abandon, a lock, four level-ups, the rows removed and
// the game over; the list holds that with room to spare, and drops what would overflow it.
constexpr int GAME_EVENT_CAPACITY = 16;

struct GameEvents {
    std::array<GameEvent, GAME_EVENT_CAPACITY> events{};
    int count = 0;
};

struct GameState;

void RecordGameEvent(GameState& game, GameEventKind kind, std::uint8_t value = 0);
// The game's events recorded since the last call, oldest first; the list is then empty again.
GameEvents TakeGameEvents(GameState& game);
// Empties the list without looking at it.
void ClearGameEvents(GameState& game);
