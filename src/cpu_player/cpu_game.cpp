#include "cpu_player/cpu_game.h"

#include <algorithm>

#include "common/settings.h"
#include "cpu_player/cpu_player.h"
#include "game/game_events.h"
#include "game/game_state.h"
#include "game/rules_frame.h"

namespace {

// The game's source: the CPU player's actions, seeing the game as it stands, and a clock that
// moves on 20 ms a frame from 0 at the new game; nothing is recorded.
class HeadlessCpuGame final : public GameSource {
public:
    HeadlessCpuGame(const GameState& game, const SteerSettings& steer)
        : game_(game), steer_(steer) {}

    std::int64_t now = 0;

    PlaySettings Play() const override { return PlaySettingsOf(settings); }
    HeldKeys& Keys() override { return keys_; }
    void BeginGame(Random&) override {}
    bool NextFrame(FrameInput& frame) override {
        now += STEER_FRAME_MS;
        frame.actions = player_.Actions(ViewOfGame(game_), steer_);
        frame.turnReversed = settings.rotateReversed != 0;
        return true;
    }
    void PausedFrame() override {}
    std::int64_t Now() override { return now; }
    void BeginRules(RulesPart, Random&) override {}
    void EndRules(Random&) override {}
    void EndGame(GameEnding, const GameState&) override {}

private:
    const GameState& game_;
    SteerSettings steer_;
    HeldKeys keys_;
    CpuPlayer player_;
};

}  // namespace

CpuGameResult PlayCpuGame(const CpuGameLimits& limits, Random& random) {
    const SteerSettings steer{settings.moveRepeat, settings.rotateRepeat, settings.rotateReversed};
    GameState game;
    game.random = &random;
    HeadlessCpuGame source(game, steer);
    BeginGame(game, source);

    CpuGameResult result;
    result.topLevel = game.level;
    FrameInput frame;
    while (result.rows < limits.rows && source.now < limits.gameMs && source.NextFrame(frame)) {
        ++result.frames;
        BeginRulesFrame(game, source, frame);
        const GameEvents events = EndRulesFrame(game, source, frame);
        for (int i = 0; i < events.count; ++i) {
            const GameEvent& event = events.events[static_cast<std::size_t>(i)];
            if (event.kind == GameEventKind::RowsRemoved) {
                result.rows += event.value;
                if (event.value >= 1 && event.value <= 4) ++result.clears[event.value];
            }
        }
        if (Happened(events, GameEventKind::Locked)) ++result.pieces;
        result.topLevel = std::max(result.topLevel, game.level);
        if (Happened(events, GameEventKind::GameOver)) {
            result.gameOver = true;
            break;
        }
    }
    result.score = game.score;
    return result;
}
