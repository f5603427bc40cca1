#include "replays/replay_verify.h"

#include "game/rules_frame.h"
#include "replays/game_record.h"
#include "replays/replayed_game.h"

namespace {

// Plays the frames until the game ends; the ending, or Unfinished when the record runs out
// first or comes apart from the rules.
GameEnding PlayFrames(ReplayedGame& source, void (*afterFrame)(std::uint32_t)) {
    FrameInput frame;
    while (source.NextFrame(frame) && source.Problem().empty()) {
        if (frame.paused) continue;
        if (Happened(BeginRulesFrame(source, frame), GameEventKind::Abandoned)) {
            return GameEnding::Abandoned;
        }
        const GameEvents events = EndRulesFrame(source, frame);
        if (afterFrame != nullptr) afterFrame(source.FrameIndex());
        if (Happened(events, GameEventKind::GameOver)) return GameEnding::GameOver;
        if (!source.Problem().empty()) return GameEnding::Unfinished;
    }
    return GameEnding::Unfinished;
}

}  // namespace

ReplayVerdict VerifyReplay(const Replay& replay, void (*afterFrame)(std::uint32_t)) {
    ReplayedGame source(replay);
    BeginGame(source);
    const GameEnding ending = PlayFrames(source, afterFrame);
    ReplayVerdict verdict;
    verdict.matches = source.EndedAsRecorded(ending);
    verdict.result = CurrentResult(ending);
    verdict.problem = source.Problem();
    return verdict;
}
