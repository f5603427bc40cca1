#include "replays/replay_verify.h"

#include "common/random.h"
#include "game/rules_frame.h"
#include "replays/game_record.h"
#include "replays/replayed_game.h"

namespace {

using AfterFrame = void (*)(std::uint32_t, const GameState&, const HeldKeys&);

// Plays the frames until the game ends; the ending, or Unfinished when the record runs out
// first or comes apart from the rules.
GameEnding PlayFrames(GameState& game, ReplayedGame& source, AfterFrame afterFrame) {
    FrameInput frame;
    while (source.NextFrame(frame) && source.Problem().empty()) {
        if (frame.paused) continue;
        if (Happened(BeginRulesFrame(game, source, frame), GameEventKind::Abandoned)) {
            return GameEnding::Abandoned;
        }
        const GameEvents events = EndRulesFrame(game, source, frame);
        if (afterFrame != nullptr) afterFrame(source.FrameIndex(), game, source.Keys());
        if (Happened(events, GameEventKind::GameOver)) return GameEnding::GameOver;
        if (!source.Problem().empty()) return GameEnding::Unfinished;
    }
    return GameEnding::Unfinished;
}

}  // namespace

ReplayVerdict VerifyReplay(const Replay& replay, AfterFrame afterFrame) {
    Random random;
    GameState game;
    game.random = &random;
    ReplayedGame source(replay);
    BeginGame(game, source);
    const GameEnding ending = PlayFrames(game, source, afterFrame);
    ReplayVerdict verdict;
    verdict.matches = source.EndedAsRecorded(ending, game);
    verdict.result = CurrentResult(game, ending);
    verdict.problem = source.Problem();
    return verdict;
}
