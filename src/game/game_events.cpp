#include "game/game_events.h"

#include <utility>

#include "game/game_state.h"

void RecordGameEvent(GameEventKind kind, std::uint8_t value) {
    GameEvents& pending = game.events;
    if (pending.count >= GAME_EVENT_CAPACITY) return;
    pending.events[static_cast<std::size_t>(pending.count++)] = GameEvent{kind, value};
}

GameEvents TakeGameEvents() { return std::exchange(game.events, GameEvents{}); }

void ClearGameEvents() { game.events = GameEvents{}; }
