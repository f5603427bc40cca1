#include "game/replay_player.h"

#include "common/random.h"
#include "common/settings.h"

namespace {

struct Playback {
    bool playing = false;
    Replay replay;
    std::uint32_t frame = 0;         // index of the frame being played
    std::uint32_t readingsUsed = 0;  // in the frame being played
    std::size_t nextReading = 0;     // in replay.readings
    std::int64_t lastReading = 0;
    std::uint32_t stateAfterRules = 0;  // the generator when the rules last ended
    std::string problem;
    Settings kept;  // the player's own
};
Playback playback;

void Diverge(const std::string& what) {
    if (playback.problem.empty()) {
        playback.problem = "frame " + std::to_string(playback.frame) + ": " + what;
    }
}

// The readings a frame recorded and the rules did not ask for.
void CheckReadingsUsed() {
    if (playback.frame < playback.replay.frames.size() &&
        playback.readingsUsed < playback.replay.frames[playback.frame].readingCount) {
        Diverge("the rules took fewer clock readings than the record holds");
    }
}

// The settings that change play; the others (sound, music, the display) stay the player's.
void PutPlaySettings(const Settings& from) {
    settings.startLevel = from.startLevel;
    settings.garbageRows = from.garbageRows;
    settings.moveRepeat = from.moveRepeat;
    settings.rotateRepeat = from.rotateRepeat;
    settings.dropRepeat = from.dropRepeat;
    settings.rotateReversed = from.rotateReversed;
}

Settings PlaySettingsOf(const ReplayStart& start) {
    Settings played = settings;
    played.startLevel = start.startLevel;
    played.garbageRows = start.garbageRows;
    played.moveRepeat = start.moveRepeat;
    played.rotateRepeat = start.rotateRepeat;
    played.dropRepeat = start.dropRepeat;
    played.rotateReversed = start.rotateReversed;
    return played;
}

std::string Describe(const ReplayResult& r) {
    static constexpr const char* ENDINGS[REPLAY_ENDING_COUNT] = {"game over", "abandoned",
                                                                 "unfinished"};
    return std::string(ENDINGS[static_cast<int>(r.ending)]) + ", score " + std::to_string(r.score) +
           ", lines " + std::to_string(r.lines) + ", level " + std::to_string(r.level);
}

}  // namespace

void StartPlayback(const Replay& replay) {
    const Settings kept = playback.playing ? playback.kept : settings;
    playback = Playback{};
    playback.playing = true;
    playback.replay = replay;
    playback.kept = kept;
    PutPlaySettings(PlaySettingsOf(replay.start));
    SeedRandom(replay.start.randomState);
    PutCarriedState(replay.start);
    playback.stateAfterRules = replay.start.randomState;
    playback.lastReading = replay.readings.empty() ? 0 : replay.readings.front();
}

bool IsPlayingBack() { return playback.playing; }

bool NextPlaybackFrame(ReplayFrame& frame) {
    CheckReadingsUsed();
    if (playback.frame + 1 >= playback.replay.frames.size()) return false;
    ++playback.frame;
    playback.readingsUsed = 0;
    frame = playback.replay.frames[playback.frame];
    settings.rotateReversed = (frame.flags & REPLAY_TURN_REVERSED) != 0 ? 1 : 0;
    return true;
}

std::uint32_t PlaybackFrameIndex() { return playback.frame; }
std::uint32_t PlaybackFrameCount() {
    return static_cast<std::uint32_t>(playback.replay.frames.size());
}

std::int64_t NextPlaybackReading() {
    if (playback.frame >= playback.replay.frames.size() ||
        playback.readingsUsed >= playback.replay.frames[playback.frame].readingCount) {
        Diverge("the rules asked for a clock reading the record does not have");
        return playback.lastReading;
    }
    ++playback.readingsUsed;
    playback.lastReading = playback.replay.readings[playback.nextReading++];
    return playback.lastReading;
}

void PlaybackRulesBegin(RulesPart part) {
    SeedRandom(playback.stateAfterRules);
    if (playback.frame >= playback.replay.frames.size()) return;
    const ReplayFrame& frame = playback.replay.frames[playback.frame];
    const int others =
        part == RulesPart::Actions ? frame.drawsBeforeActions : frame.drawsBeforeRest;
    for (int i = 0; i < others; ++i) NextRandom();
}

void PlaybackRulesEnd() { playback.stateAfterRules = RandomState(); }

const std::string& PlaybackProblem() { return playback.problem; }

bool CheckPlaybackEnd(ReplayEnding ending) {
    CheckReadingsUsed();
    const std::uint32_t last = PlaybackFrameCount() - 1;
    if (playback.frame != last) {
        Diverge("the game ended here, but the record goes on to frame " + std::to_string(last));
        return false;
    }
    const ReplayResult now = CurrentResult(ending);
    if (!(now == playback.replay.result)) {
        Diverge("the game ended " + Describe(now) + ", the record says " +
                Describe(playback.replay.result) +
                (now.wellHash == playback.replay.result.wellHash ? "" : ", and the wells differ"));
        return false;
    }
    return playback.problem.empty();
}

void StopPlayback() {
    if (!playback.playing) return;
    PutPlaySettings(playback.kept);
    playback = Playback{};
}
