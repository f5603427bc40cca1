#include "cpu_player/cpu_game.h"

#include <algorithm>

#include "common/settings.h"
#include "cpu_player/cpu_player.h"
#include "game/game_events.h"
#include "game/game_state.h"
#include "game/gravity_and_levels.h"
#include "game/piece_control.h"
#include "game/rules_clock.h"

namespace {

std::int64_t headlessNow = 0;

std::int64_t HeadlessClock() { return headlessNow; }

}  // namespace

CpuGameResult PlayCpuGame(const CpuGameLimits& limits) {
    const RulesClockSource before = CurrentRulesClock();
    SetRulesClock(HeadlessClock);
    headlessNow = 0;
    ResetGame();
    ResetCpuPlayer();
    ClearGameEvents();

    CpuGameResult result;
    result.topLevel = game.level;
    const SteerSettings steer{settings.moveRepeat, settings.rotateRepeat, settings.rotateReversed};
    while (result.rows < limits.rows && headlessNow < limits.gameMs) {
        headlessNow += STEER_FRAME_MS;
        ++result.frames;
        const ActionRecord actions = CpuPlayerActions(ViewOfGame(), steer);
        HandleGameKeys(actions);
        ApplyGravity();
        const LockResult lock = TryLockPiece(actions);
        const GameEvents events = TakeGameEvents();
        for (int i = 0; i < events.count; ++i) {
            const GameEvent& event = events.events[static_cast<std::size_t>(i)];
            if (event.kind == GameEventKind::RowsRemoved) {
                result.rows += event.value;
                if (event.value >= 1 && event.value <= 4) ++result.clears[event.value];
            }
        }
        if (lock != LockResult::Falling) ++result.pieces;
        result.topLevel = std::max(result.topLevel, game.level);
        if (lock == LockResult::GameOver) {
            result.gameOver = true;
            break;
        }
    }
    result.score = game.score;
    SetRulesClock(before);
    return result;
}
