#include "game/replay_verify.h"

#include "game/game_events.h"
#include "game/game_state.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"
#include "game/replay_player.h"
#include "game/rules_clock.h"

namespace {

bool Happened(const GameEvents& events, GameEventKind kind) {
    for (int i = 0; i < events.count; ++i) {
        if (events.events[static_cast<std::size_t>(i)].kind == kind) return true;
    }
    return false;
}

// Plays the frames until the game ends; the ending, or Unfinished when the record runs out
// first.
ReplayEnding PlayFrames(void (*afterFrame)(std::uint32_t)) {
    ReplayFrame frame;
    while (NextPlaybackFrame(frame) && PlaybackProblem().empty()) {
        if ((frame.flags & REPLAY_PAUSED) != 0) continue;
        const ActionRecord actions{frame.actions};
        ClearGameEvents();
        PlaybackRulesBegin(RulesPart::Actions);
        HandleGameKeys(actions);
        PlaybackRulesEnd();
        if (Happened(TakeGameEvents(), GameEventKind::Abandoned)) return ReplayEnding::Abandoned;
        PlaybackRulesBegin(RulesPart::Rest);
        ApplyGravity();
        const LockResult lock = TryLockPiece(actions);
        PlaybackRulesEnd();
        ClearGameEvents();
        if (afterFrame != nullptr) afterFrame(PlaybackFrameIndex());
        if (lock == LockResult::GameOver) return ReplayEnding::GameOver;
        if (!PlaybackProblem().empty()) return ReplayEnding::Unfinished;
    }
    return ReplayEnding::Unfinished;
}

}  // namespace

ReplayVerdict VerifyReplay(const Replay& replay, void (*afterFrame)(std::uint32_t)) {
    const RulesClockSource liveClock = CurrentRulesClock();
    StartPlayback(replay);
    SetRulesClock(NextPlaybackReading);
    PlaybackRulesBegin(RulesPart::Rest);
    ResetGame();
    PlaybackRulesEnd();

    const ReplayEnding ending = PlayFrames(afterFrame);
    ReplayVerdict verdict;
    verdict.matches = CheckPlaybackEnd(ending);
    verdict.result = CurrentResult(ending);
    verdict.problem = PlaybackProblem();
    StopPlayback();
    SetRulesClock(liveClock);
    return verdict;
}
