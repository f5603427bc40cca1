#include "game/rules_frame.h"

#include "game/game_state.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"

void BeginGame(GameState& game, GameSource& source) {
    source.BeginGame(*game.random);
    source.BeginRules(RulesPart::Rest, *game.random);
    ResetGame(game, source.Play(), source);
    source.EndRules(*game.random);
}

GameEvents BeginRulesFrame(GameState& game, GameSource& source, const FrameInput& frame) {
    // Nothing is left from outside this frame's rules.
    ClearGameEvents(game);
    source.BeginRules(RulesPart::Actions, *game.random);
    HandleGameKeys(game, source.Keys(), frame, source);
    GameEvents events = TakeGameEvents(game);
    if (!Happened(events, GameEventKind::Abandoned)) ApplyGravity(game, source);
    source.EndRules(*game.random);
    return events;
}

GameEvents EndRulesFrame(GameState& game, GameSource& source, const FrameInput& frame) {
    source.BeginRules(RulesPart::Rest, *game.random);
    TryLockPiece(game, source.Keys(), frame.actions);
    source.EndRules(*game.random);
    return TakeGameEvents(game);
}

bool Happened(const GameEvents& events, GameEventKind kind) {
    for (int i = 0; i < events.count; ++i) {
        if (events.events[static_cast<std::size_t>(i)].kind == kind) return true;
    }
    return false;
}
