#include "game/game_events.h"

#include <utility>

#include "game/game_state.h"

void RecordGameEvent(GameState& game, GameEventKind kind, std::uint8_t value) {
    GameEvents& pending = game.events;
    if (pending.count >= GAME_EVENT_CAPACITY) return;
    pending.events[static_cast<std::size_t>(pending.count++)] = GameEvent{kind, value};
}

GameEvents TakeGameEvents(GameState& game) { return std::exchange(game.events, GameEvents{}); }

void ClearGameEvents(GameState& game) { game.events = GameEvents{}; }
