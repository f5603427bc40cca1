#include "game/gravity_and_levels.h"

#include "game/game_events.h"
#include "game/game_state.h"

namespace {

constexpr std::int64_t LEVEL_SPEED_UP = 100;  // ms off the gravity interval per level
constexpr std::uint32_t GRAVITY_POINTS = 1;
// Base points for 1, 2, 3 and 4 rows removed by one landing.
constexpr std::uint32_t LINE_POINTS[] = {200, 500, 800, 2000};
constexpr int MAX_SCORED_ROWS = 4;

constexpr int LINES_PER_LEVEL = 10;
constexpr int LAST_LEVEL_UP_LINES = 110;

}  // namespace

std::int64_t GravityInterval(const GameState& game) {
    return GravityInterval(game.fallInterval, game.level);
}

std::int64_t GravityInterval(std::uint32_t fallInterval, int level) {
    return static_cast<std::int64_t>(fallInterval) - LEVEL_SPEED_UP * (level - 1);
}

void ApplyGravity(GameState& game, RulesClock& clock) {
    const std::int64_t now = clock.Now();
    if (now - game.lastFallTime < GravityInterval(game)) return;
    game.lastFallTime = now;
    if (game.pieceY < LAST_BOX_ROW && !IsBlockedBelow(game)) {
        ++game.pieceY;
        game.score += GRAVITY_POINTS;
    }
}

std::uint32_t LineScore(const GameState& game, int rows) {
    if (rows < 1 || rows > MAX_SCORED_ROWS) return 0;
    return (LINE_POINTS[rows - 1] + game.play.garbageRows) * game.level;
}

void ApplyLevelUp(GameState& game) {
    const int lines = game.lines;
    if (lines == 0 || lines % LINES_PER_LEVEL != 0 || lines > LAST_LEVEL_UP_LINES) return;
    ++game.level;
    RecordGameEvent(game, GameEventKind::LevelReached, static_cast<std::uint8_t>(lines));
}
