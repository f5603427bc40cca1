#include "replays/live_game.h"

#include <utility>

#include "common/random.h"
#include "common/settings.h"
#include "replays/game_record.h"

namespace {

std::uint8_t FrameFlags(bool paused) {
    return static_cast<std::uint8_t>((paused ? REPLAY_PAUSED : 0) |
                                     (settings.rotateReversed != 0 ? REPLAY_TURN_REVERSED : 0));
}

}  // namespace

LiveGame::LiveGame(Player& player, std::int64_t (*clock)(), const PlaySettings& play,
                   std::optional<RecordedGame>& finished)
    : player_(player), finished_(finished), clock_(clock), play_(play) {}

void LiveGame::BeginGame(Random& random) {
    recording_ = true;
    overLimits_ = false;
    ReplayStart start;
    start.randomState = random.State();
    start.play = play_;
    start.rotateReversed = settings.rotateReversed;
    TakeCarriedState(start, player_.Keys());
    recorder_ = std::make_unique<ReplayRecorder>(start);
    recorder_->AddFrame({0, FrameFlags(false), 0, 0, 0});
    drawsSeen_ = random.Draws();
}

bool LiveGame::NextFrame(FrameInput& frame) {
    frame.actions = player_.NextActions();
    frame.turnReversed = settings.rotateReversed != 0;
    frame.paused = false;
    Record(frame.actions, false);
    return true;
}

void LiveGame::PausedFrame() { Record(player_.NextActions(), true); }

void LiveGame::Record(ActionRecord actions, bool paused) {
    if (!recording_) return;
    recorder_->AddFrame({actions.held, FrameFlags(paused), 0, 0, 0});
}

std::int64_t LiveGame::Now() {
    const std::int64_t now = clock_();
    if (recording_) recorder_->AddReading(now);
    return now;
}

void LiveGame::BeginRules(RulesPart part, Random& random) {
    if (!recording_ || overLimits_) return;
    const std::uint64_t others = random.Draws() - drawsSeen_;
    if (others == 0) return;
    ReplayFrame& frame = recorder_->LastFrame();
    std::uint16_t* draws =
        part == RulesPart::Actions ? &frame.drawsBeforeActions : &frame.drawsBeforeRest;
    if (*draws + others > MAX_OTHER_DRAWS) {
        overLimits_ = true;
        return;
    }
    *draws = static_cast<std::uint16_t>(*draws + others);
}

void LiveGame::EndRules(Random& random) {
    if (recording_) drawsSeen_ = random.Draws();
}

void LiveGame::EndGame(GameEnding ending, const GameState& game) {
    if (!recording_) return;
    recording_ = false;
    std::unique_ptr<ReplayRecorder> recorder = std::move(recorder_);
    if (overLimits_ || recorder->Failed() || recorder->FrameCount() < 2) return;
    const ReplayResult result = CurrentResult(game, ending);
    finished_ = RecordedGame{recorder->Finish(result), result};
}
