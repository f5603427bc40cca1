#include "server/game_check.h"

#include "common/random.h"
#include "game/game_events.h"
#include "game/rules_frame.h"
#include "replays/game_record.h"
#include "replays/replayed_game.h"

namespace {

constexpr int UNPROCESSABLE = 422;

Refusal Refuse(std::string reason, std::string message) {
    return Refusal{UNPROCESSABLE, std::move(reason), std::move(message)};
}

// The sounds the play screen starts for these events, each of which may draw once.
std::uint32_t SoundsOf(const GameEvents& events, std::uint32_t& rows) {
    std::uint32_t sounds = 0;
    for (int i = 0; i < events.count; ++i) {
        const GameEvent& event = events.events[static_cast<std::size_t>(i)];
        switch (event.kind) {
            case GameEventKind::Turned:
            case GameEventKind::Locked:
            case GameEventKind::LevelReached:
                ++sounds;
                break;
            case GameEventKind::RowsRemoved:
                rows += event.value;
                // A line-clear sound, and for four rows a second one.
                sounds += event.value >= 4 ? 2 : 1;
                break;
            case GameEventKind::GameOver:
            case GameEventKind::Abandoned:
                break;
        }
    }
    return sounds;
}

// Readings that go back, or a frame whose first reading comes before its place on the
// schedule: frame i never runs earlier than the first frame's reading plus 20 ms times i, so
// a clock behind that can only have frozen gravity.
std::optional<Refusal> ClockProblem(const Replay& replay) {
    std::size_t next = 0;
    std::optional<std::int64_t> start;
    std::int64_t last = 0;
    for (std::size_t i = 0; i < replay.frames.size(); ++i) {
        const std::uint8_t count = replay.frames[i].readingCount;
        for (std::uint8_t r = 0; r < count; ++r, ++next) {
            if (next >= replay.readings.size()) {
                return Refuse("unreadable-replay", "the frames hold more readings than the file");
            }
            const std::int64_t reading = replay.readings[next];
            if (next > 0 && reading < last) {
                return Refuse("clock-backwards",
                              "frame " + std::to_string(i) + ": the clock goes back in time");
            }
            last = reading;
            if (r != 0) continue;
            if (!start) start = reading - FRAME_PERIOD_MS * static_cast<std::int64_t>(i);
            const std::int64_t due = *start + FRAME_PERIOD_MS * static_cast<std::int64_t>(i);
            if (reading < due - SCHEDULE_ALLOWANCE_MS) {
                return Refuse("stalled-clock", "frame " + std::to_string(i) +
                                                   ": the clock falls behind the frames (" +
                                                   std::to_string(due - reading) + " ms)");
            }
        }
    }
    return std::nullopt;
}

Refusal ExtraDraws(std::uint32_t frame) {
    return Refuse("extra-draws", "frame " + std::to_string(frame) +
                                     ": the generator is drawn from more often than the "
                                     "frame's sounds allow");
}

}  // namespace

std::variant<CheckedGame, Refusal> CheckGame(const Replay& replay) {
    if (replay.frames.empty()) return Refuse("unreadable-replay", "the replay has no frames");
    if (auto problem = ClockProblem(replay)) return *problem;
    const ReplayFrame& first = replay.frames.front();
    if (first.drawsBeforeActions != 0 || first.drawsBeforeRest != 0) return ExtraDraws(0);

    CheckedGame checked;
    // The game, its generator and its key timers are this check's own.
    Random random;
    GameState game;
    game.random = &random;
    ReplayedGame source(replay);
    BeginGame(game, source);
    std::uint32_t soundsBefore = FIRST_FRAME_OTHER_DRAWS;
    std::uint32_t pausedFrames = 0;
    GameEnding ending = GameEnding::Unfinished;
    FrameInput frame;
    while (ending == GameEnding::Unfinished && source.NextFrame(frame) &&
           source.Problem().empty()) {
        const std::uint32_t index = source.FrameIndex();
        const ReplayFrame& recorded = replay.frames[index];
        if (frame.paused) {
            if (recorded.drawsBeforeActions != 0 || recorded.drawsBeforeRest != 0) {
                return ExtraDraws(index);
            }
            ++pausedFrames;
            continue;
        }
        if (recorded.drawsBeforeActions > soundsBefore) return ExtraDraws(index);
        const GameEvents actions = BeginRulesFrame(game, source, frame);
        if (Happened(actions, GameEventKind::Abandoned)) {
            ending = GameEnding::Abandoned;
            break;
        }
        if (recorded.drawsBeforeRest > SoundsOf(actions, checked.rows)) return ExtraDraws(index);
        const GameEvents rest = EndRulesFrame(game, source, frame);
        soundsBefore = SoundsOf(rest, checked.rows);
        if (Happened(rest, GameEventKind::GameOver)) ending = GameEnding::GameOver;
    }
    const bool atLastFrame = source.FrameIndex() + 1 == replay.frames.size();
    const bool ranOut = ending == GameEnding::Unfinished && atLastFrame && source.Problem().empty();
    const bool matches = source.EndedAsRecorded(ending, game);
    const ReplayResult result = CurrentResult(game, ending);
    if (ending != GameEnding::GameOver) {
        if (matches || ranOut) {
            return Refuse("unfinished-game", "the game did not end in a game over");
        }
        return Refuse("not-as-recorded", "the replay does not play as recorded: " +
                                             source.Problem());
    }
    if (!matches) {
        if (atLastFrame && result != replay.result) {
            return Refuse("result-differs", "the rules end this game otherwise: " +
                                                source.Problem());
        }
        return Refuse("not-as-recorded",
                      "the replay does not play as recorded: " + source.Problem());
    }
    checked.score = result.score;
    checked.level = result.level;
    checked.pausedMs = FRAME_PERIOD_MS * pausedFrames;
    if (!replay.readings.empty()) {
        checked.playedMs = replay.readings.back() - replay.readings.front();
    }
    return checked;
}
