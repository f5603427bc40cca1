#include "replays/replayed_game.h"

#include <utility>

#include "common/random.h"
#include "replays/game_record.h"

namespace {

std::string Describe(const ReplayResult& r) {
    static constexpr const char* ENDINGS[GAME_ENDING_COUNT] = {"game over", "abandoned",
                                                               "unfinished"};
    return std::string(ENDINGS[static_cast<int>(r.ending)]) + ", score " + std::to_string(r.score) +
           ", lines " + std::to_string(r.lines) + ", level " + std::to_string(r.level);
}

}  // namespace

ReplayedGame::ReplayedGame(Replay replay) : replay_(std::move(replay)) {
    stateAfterRules_ = replay_.start.randomState;
    lastReading_ = replay_.readings.empty() ? 0 : replay_.readings.front();
}

void ReplayedGame::Diverge(const std::string& what) {
    if (problem_.empty()) problem_ = "frame " + std::to_string(frame_) + ": " + what;
}

// The readings a frame recorded and the rules did not ask for.
void ReplayedGame::CheckReadingsUsed() {
    if (frame_ < replay_.frames.size() && readingsUsed_ < replay_.frames[frame_].readingCount) {
        Diverge("the rules took fewer clock readings than the record holds");
    }
}

void ReplayedGame::BeginGame(Random& random) {
    random.Seed(replay_.start.randomState);
    PutCarriedState(replay_.start, keys_);
}

bool ReplayedGame::NextFrame(FrameInput& frame) {
    CheckReadingsUsed();
    if (frame_ + 1 >= replay_.frames.size()) return false;
    ++frame_;
    readingsUsed_ = 0;
    const ReplayFrame& recorded = replay_.frames[frame_];
    frame.actions = ActionRecord{recorded.actions};
    frame.turnReversed = (recorded.flags & REPLAY_TURN_REVERSED) != 0;
    frame.paused = (recorded.flags & REPLAY_PAUSED) != 0;
    return true;
}

std::int64_t ReplayedGame::Now() {
    if (frame_ >= replay_.frames.size() || readingsUsed_ >= replay_.frames[frame_].readingCount) {
        Diverge("the rules asked for a clock reading the record does not have");
        return lastReading_;
    }
    ++readingsUsed_;
    lastReading_ = replay_.readings[nextReading_++];
    return lastReading_;
}

void ReplayedGame::BeginRules(RulesPart part, Random& random) {
    random.Seed(stateAfterRules_);
    if (frame_ >= replay_.frames.size()) return;
    const ReplayFrame& frame = replay_.frames[frame_];
    const int others =
        part == RulesPart::Actions ? frame.drawsBeforeActions : frame.drawsBeforeRest;
    for (int i = 0; i < others; ++i) random.Next();
}

void ReplayedGame::EndRules(Random& random) { stateAfterRules_ = random.State(); }

void ReplayedGame::EndGame(GameEnding ending, const GameState& game) {
    EndedAsRecorded(ending, game);
}

bool ReplayedGame::EndedAsRecorded(GameEnding ending, const GameState& game) {
    CheckReadingsUsed();
    const auto last = static_cast<std::uint32_t>(replay_.frames.size() - 1);
    if (frame_ != last) {
        Diverge("the game ended here, but the record goes on to frame " + std::to_string(last));
        return false;
    }
    const ReplayResult now = CurrentResult(game, ending);
    if (!(now == replay_.result)) {
        Diverge("the game ended " + Describe(now) + ", the record says " +
                Describe(replay_.result) +
                (now.wellHash == replay_.result.wellHash ? "" : ", and the wells differ"));
        return false;
    }
    return problem_.empty();
}
