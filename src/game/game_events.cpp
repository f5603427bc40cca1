#include "game/game_events.h"

namespace {
GameEvents pending;
}  // namespace

void RecordGameEvent(GameEventKind kind, std::uint8_t value) {
    if (pending.count >= GAME_EVENT_CAPACITY) return;
    pending.events[static_cast<std::size_t>(pending.count++)] = GameEvent{kind, value};
}

GameEvents TakeGameEvents() {
    const GameEvents taken = pending;
    pending = GameEvents{};
    return taken;
}

void ClearGameEvents() { pending = GameEvents{}; }
