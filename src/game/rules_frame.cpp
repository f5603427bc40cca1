#include "game/rules_frame.h"

#include "game/game_state.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"

void BeginGame(GameSource& source) {
    source.BeginGame();
    source.BeginRules(RulesPart::Rest);
    ResetGame(source.Play(), source);
    source.EndRules();
}

GameEvents BeginRulesFrame(GameSource& source, const FrameInput& frame) {
    // Nothing is left from outside this frame's rules.
    ClearGameEvents();
    source.BeginRules(RulesPart::Actions);
    HandleGameKeys(frame, source);
    GameEvents events = TakeGameEvents();
    if (!Happened(events, GameEventKind::Abandoned)) ApplyGravity(source);
    source.EndRules();
    return events;
}

GameEvents EndRulesFrame(GameSource& source, const FrameInput& frame) {
    source.BeginRules(RulesPart::Rest);
    TryLockPiece(frame.actions);
    source.EndRules();
    return TakeGameEvents();
}

bool Happened(const GameEvents& events, GameEventKind kind) {
    for (int i = 0; i < events.count; ++i) {
        if (events.events[static_cast<std::size_t>(i)].kind == kind) return true;
    }
    return false;
}
