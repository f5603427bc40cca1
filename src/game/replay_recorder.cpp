#include "game/replay_recorder.h"

#include <utility>

#include "common/hash.h"
#include "common/random.h"
#include "common/settings.h"
#include "game/game_state.h"
#include "game/piece_control.h"

namespace {

struct Recorder {
    bool recording = false;
    bool overLimits = false;
    Replay replay;
    std::uint64_t drawsSeen = 0;  // the generator's draw count when the rules last ended
};
Recorder recorder;
std::optional<Replay> finished;

ReplayFrame& LastFrame() { return recorder.replay.frames.back(); }

std::uint8_t FrameFlags(bool paused) {
    return static_cast<std::uint8_t>((paused ? REPLAY_PAUSED : 0) |
                                     (settings.rotateReversed != 0 ? REPLAY_TURN_REVERSED : 0));
}

}  // namespace

void StartRecording() {
    recorder = Recorder{};
    recorder.recording = true;
    recorder.replay.start = {RandomState(),          settings.startLevel,   settings.garbageRows,
                             settings.moveRepeat,    settings.rotateRepeat, settings.dropRepeat,
                             settings.rotateReversed};
    TakeCarriedState(recorder.replay.start);
    recorder.replay.frames.push_back({0, FrameFlags(false), 0, 0, 0});
    recorder.drawsSeen = RandomDrawCount();
}

void RecordFrame(std::uint8_t actions, bool paused) {
    if (!recorder.recording) return;
    if (recorder.replay.frames.size() >= MAX_REPLAY_FRAMES) {
        recorder.overLimits = true;
        return;
    }
    recorder.replay.frames.push_back({actions, FrameFlags(paused), 0, 0, 0});
}

void RecordReading(std::int64_t now) {
    if (!recorder.recording || recorder.overLimits) return;
    ReplayFrame& frame = LastFrame();
    if (frame.readingCount >= MAX_READINGS_PER_FRAME ||
        recorder.replay.readings.size() >= MAX_REPLAY_READINGS) {
        recorder.overLimits = true;
        return;
    }
    ++frame.readingCount;
    recorder.replay.readings.push_back(now);
}

void RecordRulesBegin(RulesPart part) {
    if (!recorder.recording || recorder.overLimits) return;
    const std::uint64_t others = RandomDrawCount() - recorder.drawsSeen;
    if (others == 0) return;
    std::uint16_t* draws =
        part == RulesPart::Actions ? &LastFrame().drawsBeforeActions : &LastFrame().drawsBeforeRest;
    if (*draws + others > MAX_OTHER_DRAWS) {
        recorder.overLimits = true;
        return;
    }
    *draws = static_cast<std::uint16_t>(*draws + others);
}

void RecordRulesEnd() {
    if (recorder.recording) recorder.drawsSeen = RandomDrawCount();
}

void FinishRecording(ReplayEnding ending) {
    if (!recorder.recording) return;
    recorder.recording = false;
    if (recorder.overLimits || recorder.replay.frames.size() < 2) return;
    recorder.replay.result = CurrentResult(ending);
    finished = std::move(recorder.replay);
}

std::optional<Replay> TakeFinishedReplay() { return std::exchange(finished, std::nullopt); }

bool IsRecording() { return recorder.recording; }

void StopRecording() {
    recorder = Recorder{};
    finished.reset();
}

namespace {
std::array<KeyRepeat*, REPLAY_REPEAT_BYTES / 2> CarriedRepeats() {
    return {&keyRepeats.turn, &keyRepeats.turnOther, &keyRepeats.shiftLeft, &keyRepeats.shiftRight,
            &keyRepeats.softDrop};
}
}  // namespace

void TakeCarriedState(ReplayStart& start) {
    int i = 0;
    for (const KeyRepeat* repeat : CarriedRepeats()) {
        start.keyRepeats[static_cast<std::size_t>(i++)] = repeat->ready;
        start.keyRepeats[static_cast<std::size_t>(i++)] = repeat->counter;
    }
    start.dropLatch = game.dropLatch;
}

void PutCarriedState(const ReplayStart& start) {
    int i = 0;
    for (KeyRepeat* repeat : CarriedRepeats()) {
        repeat->ready = start.keyRepeats[static_cast<std::size_t>(i++)];
        repeat->counter = start.keyRepeats[static_cast<std::size_t>(i++)];
    }
    game.dropLatch = start.dropLatch;
}

std::uint64_t WellHash() { return Fnv1a64({&game.well[0][0], sizeof game.well}); }

ReplayResult CurrentResult(ReplayEnding ending) {
    return {ending, game.score, game.lines, game.level, WellHash()};
}
