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
                   std::optional<Replay>& finished)
    : player_(player), finished_(finished), clock_(clock), play_(play) {}

void LiveGame::BeginGame() {
    recording_ = true;
    overLimits_ = false;
    replay_ = Replay{};
    replay_.start.randomState = RandomState();
    replay_.start.play = play_;
    replay_.start.rotateReversed = settings.rotateReversed;
    TakeCarriedState(replay_.start);
    replay_.frames.push_back({0, FrameFlags(false), 0, 0, 0});
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
    if (replay_.frames.size() >= MAX_REPLAY_FRAMES) {
        overLimits_ = true;
        return;
    }
    replay_.frames.push_back({actions.held, FrameFlags(paused), 0, 0, 0});
}

std::int64_t LiveGame::Now() {
    const std::int64_t now = clock_();
    if (!recording_ || overLimits_) return now;
    ReplayFrame& frame = replay_.frames.back();
    if (frame.readingCount >= MAX_READINGS_PER_FRAME ||
        replay_.readings.size() >= MAX_REPLAY_READINGS) {
        overLimits_ = true;
        return now;
    }
    ++frame.readingCount;
    replay_.readings.push_back(now);
    return now;
}

void LiveGame::BeginRules(RulesPart part) {
    if (!recording_ || overLimits_) return;
    const std::uint64_t others = RandomDrawCount() - drawsSeen_;
    if (others == 0) return;
    ReplayFrame& frame = replay_.frames.back();
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
    if (overLimits_ || replay_.frames.size() < 2) return;
    replay_.result = CurrentResult(ending);
    finished_ = std::move(replay_);
}
