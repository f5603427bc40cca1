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

void LiveGame::BeginGame() {
    recording_ = true;
    overLimits_ = false;
    ReplayStart start;
    start.randomState = RandomState();
    start.play = play_;
    start.rotateReversed = settings.rotateReversed;
    TakeCarriedState(start);
    recorder_ = std::make_unique<ReplayRecorder>(start);
    recorder_->AddFrame({0, FrameFlags(false), 0, 0, 0});
    drawsSeen_ = RandomDrawCount();
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

void LiveGame::BeginRules(RulesPart part) {
    if (!recording_ || overLimits_) return;
    const std::uint64_t others = RandomDrawCount() - drawsSeen_;
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

void LiveGame::EndRules() {
    if (recording_) drawsSeen_ = RandomDrawCount();
}

void LiveGame::EndGame(GameEnding ending) {
    if (!recording_) return;
    recording_ = false;
    std::unique_ptr<ReplayRecorder> recorder = std::move(recorder_);
    if (overLimits_ || recorder->Failed() || recorder->FrameCount() < 2) return;
    const ReplayResult result = CurrentResult(ending);
    finished_ = RecordedGame{recorder->Finish(result), result};
}
